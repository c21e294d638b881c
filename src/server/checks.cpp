#include "checks.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "builds/builds.h"

namespace scores {

namespace {

// Decodes one UTF-8 sequence at `at`: the code point and its length, or false for anything
// malformed (overlong forms, surrogates, beyond U+10FFFF, a cut-off sequence).
bool decode(const std::string& text, size_t at, uint32_t& point, size_t& length) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    uint32_t min;
    if (lead < 0x80) {
        point = lead;
        length = 1;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        point = lead & 0x1F, length = 2, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        point = lead & 0x0F, length = 3, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        point = lead & 0x07, length = 4, min = 0x10000;
    } else {
        return false;
    }
    if (at + length > text.size()) return false;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return false;
        point = point << 6 | (byte(at + i) & 0x3F);
    }
    return point >= min && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
}

bool isSpace(uint32_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

// Controls, invisible format characters (the joiners that scripts and emoji need excepted),
// bidirectional overrides that would turn the rest of a board row around, line and paragraph
// separators, private use and noncharacters.
bool isPrintable(uint32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
    if (c == 0xAD || (c >= 0x600 && c <= 0x605) || c == 0x61C || c == 0x6DD || c == 0x70F || c == 0x180E) return false;
    if (c == 0x200B || (c >= 0x200E && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E)) return false;
    if ((c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB)) return false;
    if ((c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000 || (c >= 0xE0000 && c <= 0xE007F)) return false;
    if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE) return false;
    return true;
}

struct Range {
    uint32_t first, last;
};

bool inRanges(uint32_t c, const Range* ranges, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (c >= ranges[i].first && c <= ranges[i].last) return true;
    return false;
}

// Characters that draw nothing, or nothing of their own: joiners, fillers that look like a
// letter but are blank, variation selectors, tags, bidirectional controls. Allowed beside
// others (scripts and emoji need the joiners), but a name needs more than them.
bool isBlank(uint32_t c) {
    static const Range blank[] = {
        {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x061C, 0x061C},   {0x115F, 0x1160},   {0x17B4, 0x17B5},  {0x180B, 0x180F},
        {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x206F},   {0x2800, 0x2800},   {0x3164, 0x3164},  {0xFE00, 0xFE0F},
        {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0x1D173, 0x1D17A}, {0xE0000, 0xE007F}, {0xE0100, 0xE01EF}};
    return isSpace(c) || inRanges(c, blank, sizeof blank / sizeof blank[0]);
}

// Marks drawn on the letter before them: the diacritics of Latin, Greek and Cyrillic, and the
// points of Hebrew, Arabic and Thai, the ones stacked into towers over a row.
bool isCombining(uint32_t c) {
    static const Range marks[] = {{0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05C7}, {0x0610, 0x061A},
                                  {0x064B, 0x065F}, {0x0670, 0x0670}, {0x06D6, 0x06ED}, {0x0E31, 0x0E31},
                                  {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
                                  {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}};
    return inRanges(c, marks, sizeof marks / sizeof marks[0]);
}

}  // namespace

bool cleanName(const std::string& raw, std::string& name, std::string& why) {
    struct Point {
        uint32_t code;
        size_t at, length;
    };
    std::vector<Point> points;
    size_t stack = 0;
    bool visible = false;
    for (size_t at = 0; at < raw.size();) {
        Point point = {0, at, 0};
        if (!decode(raw, at, point.code, point.length)) {
            why = "the name is not valid UTF-8";
            return false;
        }
        if (!isPrintable(point.code)) {
            why = "the name holds a control or invisible character";
            return false;
        }
        at += point.length;
        stack = isCombining(point.code) ? stack + 1 : 0;
        if (stack > kMaxMarks) continue;  // the rest of a tower of marks is cut
        visible = visible || (!isBlank(point.code) && !isCombining(point.code));
        points.push_back(point);
    }
    if (!points.empty() && !visible) {
        why = "the name has no character that can be seen";
        return false;
    }
    size_t first = 0, last = points.size();
    while (first < last && isSpace(points[first].code)) ++first;
    while (last > first && isSpace(points[last - 1].code)) --last;
    if (first == last) {
        why = "the name is empty";
        return false;
    }
    if (last - first > kMaxNameLength) {
        why = "the name is longer than " + std::to_string(kMaxNameLength) + " characters";
        return false;
    }
    name.clear();
    for (size_t i = first; i < last; ++i) name.append(raw, points[i].at, points[i].length);
    return true;
}

bool tapeSizeFits(size_t size, std::string& why) {
    if (size == 0) {
        why = "send the replay (best.replay) as the request body";
        return false;
    }
    if (size > kMaxTape) {
        why = tapeTooLarge();
        return false;
    }
    return true;
}

static_assert(kMaxTape % (1 << 20) == 0, "the limit is told in whole MiB");
std::string tapeTooLarge() { return "a replay is at most " + std::to_string(kMaxTape >> 20) + " MiB"; }

bool parseCount(const std::string& text, int64_t max, int64_t& value) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::stoll(text);
    return value <= max;
}

std::string lastForwarded(const std::string& chain) {
    const size_t comma = chain.rfind(',');
    std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
    last.erase(0, last.find_first_not_of(" \t"));
    last.erase(last.find_last_not_of(" \t") + 1);
    return last.size() <= 64 ? last : "";
}

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t at = 0; at < text.size();) {
        uint32_t point;
        size_t length;
        if (!decode(text, at, point, length)) {
            out += "\\ufffd";
            ++at;
            continue;
        }
        if (point == '"' || point == '\\') {
            out += '\\';
            out += static_cast<char>(point);
        } else if (point < 0x20 || point == 0x7F || point == 0x2028 || point == 0x2029 || point == '<' ||
                   point == '>' || point == '&') {
            // Escaped as well: < > & so that JSON put into a page cannot close a script.
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(point));
            out += escaped;
        } else {
            out.append(text, at, length);
        }
        at += length;
    }
    return out + "\"";
}

std::string platformOf(const std::string& library) {
    for (const BuildFacts& build : BUILDS)
        if (library == build.library) return build.platform;
    return library;
}

}  // namespace scores
