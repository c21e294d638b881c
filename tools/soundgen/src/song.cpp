#include "song.hpp"

#include <cmath>
#include <stdexcept>

#include "drums.hpp"
#include "pattern.hpp"

namespace {

struct Buses {
    StereoBuffer drums, dry, echoed;  // echoed gets the delay: lead and arpeggio
};

// Roots sit in a fixed register so chord changes do not leap around.
int bassRoot(const Chord& c) { return 36 + c.root; }              // C2..B2
int chordRoot(const Chord& c) { return 55 + (c.root + 5) % 12; }  // G3..F#4

void checkLane(const std::string& lane, const char* what) {
    if (!lane.empty() && lane.size() != kStepsPerBar)
        throw std::invalid_argument(std::string(what) + " lane must have 16 steps: " + lane);
}

int holdLength(const std::string& lane, int step) {
    int n = 1;
    while (step + n < kStepsPerBar && lane[static_cast<std::size_t>(step + n)] == '-') ++n;
    return n;
}

void renderGroove(const Groove& g, long long barStart, long long step, StereoBuffer& out, Rng& rng) {
    const struct {
        const std::string& lane;
        Drum drum;
        float pan, level;
    } lanes[] = {{g.kick, Drum::Kick, 0.f, 1.f},
                 {g.snare, Drum::Snare, -0.05f, 0.7f},
                 {g.hat, Drum::ClosedHat, 0.25f, 0.45f},
                 {g.openHat, Drum::OpenHat, 0.25f, 0.35f}};
    for (const auto& l : lanes) {
        checkLane(l.lane, "drum");
        for (std::size_t s = 0; s < l.lane.size(); ++s) {
            if (l.lane[s] != 'x' && l.lane[s] != 'X') continue;
            // Slight velocity variation keeps repeated hits from sounding stamped.
            const float vel =
                l.level * (l.lane[s] == 'X' ? 1.f : 0.7f) * (0.9f + 0.1f * static_cast<float>(rng.uniform()));
            renderDrum(l.drum, barStart + static_cast<long long>(s) * step, vel, l.pan, out, rng);
        }
    }
}

void renderBass(const Song& song, const std::string& lane, const std::pair<Chord, Chord>& chords, long long barStart,
                long long step, StereoBuffer& out) {
    checkLane(lane, "bass");
    for (int s = 0; s < static_cast<int>(lane.size()); ++s) {
        const Chord& c = s < kStepsPerBar / 2 ? chords.first : chords.second;
        int offset = 0;
        switch (lane[static_cast<std::size_t>(s)]) {
            case 'r': offset = 0; break;
            case 'o': offset = 12; break;
            case 'f': offset = 7; break;
            case 't': offset = c.interval(1); break;
            default: continue;
        }
        const long long len = holdLength(lane, s) * step;
        renderNote(song.bass, {barStart + s * step, len * 9 / 10, double(bassRoot(c) + offset), 1.f, 0.f}, out);
    }
}

void renderArp(const Song& song, const std::string& lane, const std::pair<Chord, Chord>& chords, long long barStart,
               long long step, StereoBuffer& out) {
    checkLane(lane, "arp");
    for (int s = 0; s < static_cast<int>(lane.size()); ++s) {
        const char ch = lane[static_cast<std::size_t>(s)];
        const Chord& c = s < kStepsPerBar / 2 ? chords.first : chords.second;
        const long long start = barStart + s * step;
        const long long gate = holdLength(lane, s) * step * 8 / 10;
        if (ch == 'c') {
            for (int i = 0; i < c.size(); ++i)
                renderNote(song.arp, {start, gate, double(chordRoot(c) + c.interval(i)), 0.6f, song.arpPan}, out);
        } else if (ch >= '0' && ch <= '5') {
            renderNote(song.arp, {start, gate, double(chordRoot(c) + c.interval(ch - '0')), 1.f, song.arpPan}, out);
        }
    }
}

void renderPad(const Song& song, const std::pair<Chord, Chord>& chords, long long barStart, long long barLen,
               StereoBuffer& out) {
    const bool split = chords.first.root != chords.second.root || chords.first.minor != chords.second.minor;
    const Chord* parts[2] = {&chords.first, &chords.second};
    const int count = split ? 2 : 1;
    const long long len = barLen / count;
    for (int p = 0; p < count; ++p) {
        const Chord& c = *parts[p];
        for (int i = 0; i < c.size(); ++i) {
            const float pan = (i - 1) * 0.4f;  // spread chord tones across the stereo field
            renderNote(song.pad, {barStart + p * len, len, double(chordRoot(c) + c.interval(i)), 1.f, pan}, out);
        }
    }
}

void renderLead(const Song& song, const Section& sec, long long start, long long step, StereoBuffer& out) {
    if (sec.lead.empty()) return;
    int slots = 0;
    const std::vector<MelodyNote> notes = parseMelody(sec.lead, slots);
    if (slots != static_cast<int>(sec.chords.size()) * 8)
        throw std::invalid_argument("lead needs 8 eighths per bar: " + sec.lead);
    const long long eighth = 2 * step;
    for (const MelodyNote& n : notes) {
        const float accent = n.slot % 4 == 0 ? 1.f : 0.85f;
        renderNote(song.lead,
                   {start + n.slot * eighth, n.slots * eighth - step / 2, double(n.midi), accent, song.leadPan}, out);
    }
}

}  // namespace

long long stepFrames(double bpm) { return std::llround(kSampleRate * 15.0 / bpm); }

long long songFrames(const Song& song) {
    long long bars = 0;
    for (const Section& s : song.sections) bars += static_cast<long long>(s.chords.size());
    return bars * kStepsPerBar * stepFrames(song.bpm);
}

StereoBuffer renderSong(const Song& song) {
    const std::size_t total = static_cast<std::size_t>(songFrames(song));
    Buses bus{StereoBuffer(total, true), StereoBuffer(total, true), StereoBuffer(total, true)};
    Rng rng(song.seed);
    const long long step = stepFrames(song.bpm), barLen = step * kStepsPerBar;
    long long pos = 0;
    for (const Section& sec : song.sections) {
        renderLead(song, sec, pos, step, bus.echoed);
        for (const std::string& bar : sec.chords) {
            const auto chords = parseBarChords(bar);
            renderGroove(sec.groove, pos, step, bus.drums, rng);
            renderBass(song, sec.bass, chords, pos, step, bus.dry);
            renderArp(song, sec.arp, chords, pos, step, bus.echoed);
            if (sec.pad) renderPad(song, chords, pos, barLen, bus.dry);
            pos += barLen;
        }
    }
    applyDelay(bus.echoed, song.delay);
    StereoBuffer mix(total, true);
    mix.mixIn(bus.drums);
    mix.mixIn(bus.dry);
    mix.mixIn(bus.echoed);
    applyReverb(mix, song.reverbWet);
    normalisePeak(mix, -3.0);
    return mix;
}
