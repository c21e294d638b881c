// Notation, timing and the seamless loop.
#include <cmath>

#include "check.hpp"
#include "pattern.hpp"
#include "song.hpp"
#include "tracks.hpp"

namespace {

double rms(const std::vector<float>& v, std::size_t from, std::size_t n) {
    double s = 0;
    for (std::size_t i = from; i < from + n; ++i) s += v[i] * v[i];
    return std::sqrt(s / n);
}

// The join must look like any other pair of neighbouring frames.
void checkSeamless(const StereoBuffer& buf) {
    for (const std::vector<float>* ch : {&buf.left, &buf.right}) {
        const std::vector<float>& v = *ch;
        double maxStep = 0;
        for (std::size_t i = 1; i < v.size(); ++i) maxStep = std::max(maxStep, double(std::fabs(v[i] - v[i - 1])));
        CHECK(std::fabs(v.back() - v.front()) <= 0.5 * maxStep);
    }
}

// No 50 ms stretch anywhere (ends included) drops below -45 dBFS.
void checkNoGaps(const StereoBuffer& buf) {
    const std::size_t win = secondsToFrames(0.05);
    double quietest = 1.0;
    for (std::size_t at = 0; at + win <= buf.frames(); at += win / 2)
        quietest = std::min(quietest, rms(buf.left, at, win) + rms(buf.right, at, win));
    quietest = std::min(quietest, rms(buf.left, buf.frames() - win, win) + rms(buf.right, buf.frames() - win, win));
    CHECK(quietest > std::pow(10.0, -45.0 / 20.0));
}

void checkTrack(const Song& song) {
    const long long bar = stepFrames(song.bpm) * kStepsPerBar;
    CHECK(songFrames(song) % bar == 0);
    const double seconds = double(songFrames(song)) / kSampleRate;
    CHECK(seconds >= 32.0 && seconds <= 48.0);
    const StereoBuffer buf = renderSong(song);
    CHECK(static_cast<long long>(buf.frames()) == songFrames(song));
    CHECK_NEAR(20.0 * std::log10(peakOf(buf)), -3.0, 0.01);
    checkSeamless(buf);
    checkNoGaps(buf);
}

}  // namespace

TEST(note_names_map_to_midi) {
    CHECK(parseNote("a4") == 69);
    CHECK(parseNote("C4") == 60);
    CHECK(parseNote("c#5") == 73 && parseNote("db5") == 73);
    CHECK(parseNote("b#4") == 72 && parseNote("cb4") == 59);
    CHECK_THROWS(parseNote("h4"));
    CHECK_THROWS(parseNote("c"));
    CHECK_THROWS(parseNote("c10"));
}

TEST(chords_know_their_tones) {
    const Chord am = parseChord("Am");
    CHECK(am.root == 9 && am.interval(0) == 0 && am.interval(1) == 3 && am.interval(2) == 7);
    CHECK(am.interval(3) == 12 && am.interval(4) == 15);  // arpeggios climb on
    const Chord g7 = parseChord("G7");
    CHECK(g7.root == 7 && g7.interval(1) == 4 && g7.interval(3) == 10 && g7.interval(4) == 12);
    const auto halves = parseBarChords("Dm,G");
    CHECK(halves.first.root == 2 && halves.first.minor && halves.second.root == 7 && !halves.second.minor);
    CHECK_THROWS(parseChord("Ax"));
}

TEST(melody_holds_and_rests) {
    int slots = 0;
    const auto notes = parseMelody("c5 - - | . e5 -", slots);
    CHECK(slots == 6 && notes.size() == 2);
    CHECK(notes[0].slot == 0 && notes[0].slots == 3 && notes[0].midi == 72);
    CHECK(notes[1].slot == 4 && notes[1].slots == 2 && notes[1].midi == 76);
    CHECK_THROWS(parseMelody("- c5", slots));
    CHECK_THROWS(parseMelody("c5 . -", slots));
}

TEST(malformed_sections_are_rejected) {
    Song s;
    s.sections = {Section{{"C"}, "", Groove{}, "r.r.r.r.r.r.r.r", "", false}};
    CHECK_THROWS(renderSong(s));
    s.sections = {Section{{"C", "G"}, "c5 - - - - - - -", Groove{}, "", "", false}};
    CHECK_THROWS(renderSong(s));
}

TEST(tails_crossing_the_loop_end_wrap_to_the_start) {
    Song s;
    s.bpm = 120.0;
    s.lead.amp = {0.005, 0.1, 0.8, 0.4};
    s.delay.wet = 0.0;
    s.reverbWet = 0.0;
    s.sections = {Section{{"C"}, ". . . . . . . c5", Groove{}, "", "", false}};
    const StereoBuffer buf = renderSong(s);
    // The only note starts in the last eighth; its release must sound at the top.
    CHECK(rms(buf.left, 0, 200) > 0.05);
    CHECK(rms(buf.left, secondsToFrames(1.0), 200) < 1e-6);
    checkSeamless(buf);
}

TEST(dance_track_loops_cleanly) { checkTrack(danceSong()); }

TEST(game_track_loops_cleanly) { checkTrack(gameSong()); }

TEST(rendering_is_deterministic) {
    const StereoBuffer a = renderSong(gameSong()), b = renderSong(gameSong());
    CHECK(a.left == b.left && a.right == b.right);
}
