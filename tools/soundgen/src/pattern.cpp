#include "pattern.hpp"

#include <cctype>
#include <sstream>
#include <stdexcept>

int parsePitchClass(const std::string& text, std::size_t& pos) {
    static const int kNatural[7] = {9, 11, 0, 2, 4, 5, 7};  // a..g
    if (pos >= text.size()) throw std::invalid_argument("missing note letter in '" + text + "'");
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
    if (letter < 'a' || letter > 'g') throw std::invalid_argument("bad note letter in '" + text + "'");
    int pc = kNatural[letter - 'a'];
    ++pos;
    if (pos < text.size() && (text[pos] == '#' || text[pos] == 'b')) {
        pc += text[pos] == '#' ? 1 : -1;
        ++pos;
    }
    return (pc + 12) % 12;
}

int parseNote(const std::string& name) {
    std::size_t pos = 0;
    const int pc = parsePitchClass(name, pos);
    if (pos + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[pos])))
        throw std::invalid_argument("bad note '" + name + "'");
    const int octave = name[pos] - '0';
    // Octave numbers follow the note letter, so b#4 and cb4 stay in their written octave.
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    int midi = 12 * (octave + 1) + pc;
    if (letter == 'b' && pc == 0) midi += 12;
    if (letter == 'c' && pc == 11) midi -= 12;
    return midi;
}

int Chord::interval(int index) const {
    const int tones[4] = {0, minor ? 3 : 4, 7, 10};
    return tones[index % size()] + 12 * (index / size());
}

Chord parseChord(const std::string& name) {
    std::size_t pos = 0;
    Chord c;
    c.root = parsePitchClass(name, pos);
    if (pos < name.size() && name[pos] == 'm') {
        c.minor = true;
        ++pos;
    }
    if (pos < name.size() && name[pos] == '7') {
        c.seventh = true;
        ++pos;
    }
    if (pos != name.size()) throw std::invalid_argument("bad chord '" + name + "'");
    return c;
}

std::pair<Chord, Chord> parseBarChords(const std::string& bar) {
    const std::size_t comma = bar.find(',');
    if (comma == std::string::npos) {
        const Chord c = parseChord(bar);
        return {c, c};
    }
    return {parseChord(bar.substr(0, comma)), parseChord(bar.substr(comma + 1))};
}

std::vector<std::string> splitTokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string t; in >> t;)
        if (t != "|") tokens.push_back(t);
    return tokens;
}

std::vector<MelodyNote> parseMelody(const std::string& text, int& slotCount) {
    std::vector<MelodyNote> notes;
    bool holding = false;
    slotCount = 0;
    for (const std::string& t : splitTokens(text)) {
        if (t == "-") {
            if (!holding) throw std::invalid_argument("'-' without a note to hold");
            ++notes.back().slots;
        } else if (t == ".") {
            holding = false;
        } else {
            notes.push_back({slotCount, 1, parseNote(t)});
            holding = true;
        }
        ++slotCount;
    }
    return notes;
}
