// The little text notation the tracks are written in.
//
// Notes:  "c5", "f#4", "bb3"  (A4 = MIDI 69).
// Melody: whitespace-separated tokens, one per time slot; a note starts, "-" holds the
//         previous note one slot longer, "." is a rest, "|" marks bars and is ignored.
// Chords: "C", "Am", "G7", "F#m"; a bar written "Dm,G" changes chord halfway.
#pragma once
#include <string>
#include <vector>

int parseNote(const std::string& name);
int parsePitchClass(const std::string& text, std::size_t& pos);

struct Chord {
    int root = 0;  // pitch class 0..11, C = 0
    bool minor = false;
    bool seventh = false;
    int size() const { return seventh ? 4 : 3; }
    // Semitones above the root; indices past the chord climb into the next octave.
    int interval(int index) const;
};
Chord parseChord(const std::string& name);
// Chords for the first and second half of a bar.
std::pair<Chord, Chord> parseBarChords(const std::string& bar);

struct MelodyNote {
    int slot = 0;
    int slots = 1;
    int midi = 60;
};
std::vector<std::string> splitTokens(const std::string& text);
std::vector<MelodyNote> parseMelody(const std::string& text, int& slotCount);
