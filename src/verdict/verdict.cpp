#include "verdict/verdict.h"

#include <cstdio>
#include <cstring>

namespace {

const char PREFIX[] = "verified: score ";
// The largest rate written; a rate above it is written as it.
const double MOST_RATE = 999999999.9;

// Reads a decimal number of at most 18 digits at `at`.
bool readNumber(const std::string& text, size_t& at, int64_t& value) {
    size_t digits = 0;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 18) {
        value = value * 10 + (text[at++] - '0');
        ++digits;
    }
    return digits > 0 && (at == text.size() || text[at] < '0' || text[at] > '9');
}

// A rate as written: digits, a point and one digit.
bool readRate(const std::string& text, size_t& at, double& value) {
    int64_t whole;
    if (!readNumber(text, at, whole) || whole > 999999999 || at + 2 > text.size() || text[at] != '.') return false;
    const char tenth = text[at + 1];
    if (tenth < '0' || tenth > '9') return false;
    at += 2;
    value = static_cast<double>(whole) + (tenth - '0') / 10.0;
    return true;
}

bool readLiteral(const std::string& text, size_t& at, const char* literal) {
    const size_t length = strlen(literal);
    if (text.compare(at, length, literal) != 0) return false;
    at += length;
    return true;
}

// A C library's or a version's name: letters, digits and . _ + - only, 1 to 40 of them.
bool readToken(const std::string& text, size_t& at, std::string& token) {
    const size_t from = at;
    while (at < text.size() && at - from <= 40) {
        const char c = text[at];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain && c != '.' && c != '_' && c != '+' && c != '-') break;
        ++at;
    }
    token = text.substr(from, at - from);
    return !token.empty() && token.size() <= 40;
}

bool isKey(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

double writable(double rate) { return rate > MOST_RATE ? MOST_RATE : rate > 0 ? rate : 0; }

}  // namespace

std::string verdictPace(const Verdict& verdict) {
    char pace[80];
    snprintf(pace, sizeof pace, "%.1f frames/s, %.1f presses/s", writable(verdict.framesPerSecond),
             writable(verdict.pressesPerSecond));
    return pace;
}

std::string verdictLine(const Verdict& verdict) {
    char line[400];
    snprintf(line, sizeof line, "%s%lld, %lld frames, %s, version %s, %s, game %s", PREFIX,
             static_cast<long long>(verdict.score), static_cast<long long>(verdict.frames), verdict.library.c_str(),
             verdict.version.c_str(), verdictPace(verdict).c_str(), verdict.gameKey.c_str());
    return line;
}

bool parseVerdict(const std::string& line, Verdict& verdict) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    size_t at = 0;
    if (!readLiteral(text, at, PREFIX) || !readNumber(text, at, verdict.score)) return false;
    if (!readLiteral(text, at, ", ") || !readNumber(text, at, verdict.frames)) return false;
    if (!readLiteral(text, at, " frames, ") || !readToken(text, at, verdict.library)) return false;
    if (!readLiteral(text, at, ", version ") || !readToken(text, at, verdict.version)) return false;
    if (!readLiteral(text, at, ", ") || !readRate(text, at, verdict.framesPerSecond)) return false;
    if (!readLiteral(text, at, " frames/s, ") || !readRate(text, at, verdict.pressesPerSecond)) return false;
    if (!readLiteral(text, at, " presses/s, game ")) return false;
    verdict.gameKey = text.substr(at);
    return isKey(verdict.gameKey);
}

// --- SHA-256 (FIPS 180-4) ----------------------------------------------------------------------

namespace {

const uint32_t ROUND[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t rotate(uint32_t x, int n) { return x >> n | x << (32 - n); }

}  // namespace

GameKey::GameKey()
    : state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void GameKey::compress(const uint8_t* bytes) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t(bytes[4 * i]) << 24 | uint32_t(bytes[4 * i + 1]) << 16 | uint32_t(bytes[4 * i + 2]) << 8 |
               bytes[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = rotate(w[i - 15], 7) ^ rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = rotate(w[i - 2], 17) ^ rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t v[8];
    memcpy(v, state, sizeof v);
    for (int i = 0; i < 64; ++i) {
        const uint32_t s1 = rotate(v[4], 6) ^ rotate(v[4], 11) ^ rotate(v[4], 25);
        const uint32_t t1 = v[7] + s1 + ((v[4] & v[5]) ^ (~v[4] & v[6])) + ROUND[i] + w[i];
        const uint32_t s0 = rotate(v[0], 2) ^ rotate(v[0], 13) ^ rotate(v[0], 22);
        const uint32_t t2 = s0 + ((v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]));
        memmove(v + 1, v, 7 * sizeof v[0]);
        v[4] += t1;
        v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i) state[i] += v[i];
}

void GameKey::add(const void* bytes, size_t count) {
    const auto* at = static_cast<const uint8_t*>(bytes);
    length += count;
    while (count > 0) {
        const size_t take = count < 64 - blockUsed ? count : 64 - blockUsed;
        memcpy(block + blockUsed, at, take);
        blockUsed += take;
        at += take;
        count -= take;
        if (blockUsed == 64) {
            compress(block);
            blockUsed = 0;
        }
    }
}

std::string GameKey::hex() {
    const uint64_t bits = length * 8;
    const uint8_t one = 0x80, zero = 0;
    add(&one, 1);
    while (blockUsed != 56) add(&zero, 1);
    uint8_t tail[8];
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    add(tail, 8);
    std::string out;
    char digits[9];
    for (uint32_t word : state) {
        snprintf(digits, sizeof digits, "%08x", word);
        out += digits;
    }
    return out;
}
