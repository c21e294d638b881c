// A looping piece: sections of bars, each with chords, a lead line, a groove and
// one-bar bass/arpeggio rhythms that follow the chords.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio_buffer.hpp"
#include "instruments.hpp"
#include "space.hpp"

constexpr int kStepsPerBar = 16;  // sixteenth notes

// One bar per lane, one character per sixteenth: 'x' hit, 'X' accented hit, '.' nothing.
struct Groove {
    std::string kick, snare, hat, openHat;
};

struct Section {
    std::vector<std::string> chords;  // one entry per bar
    std::string lead;                 // eighth-note melody tokens; empty = lead rests
    Groove groove;
    // One bar, one character per sixteenth:
    //   bass: 'r' root, 'o' octave, 'f' fifth, 't' third, '-' hold, '.' rest
    //   arp:  '0'-'5' chord tone (upwards), 'c' whole chord, '-' hold, '.' rest
    std::string bass, arp;
    bool pad = false;
};

struct Song {
    std::string title;
    double bpm = 120.0;
    uint64_t seed = 1;
    Patch lead, bass, arp, pad;
    float arpPan = 0.f, leadPan = 0.f;
    DelaySettings delay;
    double reverbWet = 0.2;
    std::vector<Section> sections;
};

// A sixteenth is rounded to whole frames, so every bar and the loop are whole frames too.
long long stepFrames(double bpm);
long long songFrames(const Song& song);
// Renders exactly one loop into a circular buffer, normalised to -3 dBFS.
StereoBuffer renderSong(const Song& song);
