// Shared by the fuzz targets: the input as an open file, the lines a reader should see, and a
// check that a reader wrote nothing but the fields it owns.
#pragma once

#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "game/state.h"

// A failed check must stop the fuzzer with a saved input, in every build type.
#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

// The input as a read-only file; null bytes stay in it. Null only when the C library refuses.
inline FILE* openInput(const uint8_t* data, size_t size) { return fmemopen(const_cast<uint8_t*>(data), size, "r"); }

// A file whose reads fail once `readable` bytes are delivered, like a disk error or a folder
// where a file should be: the reader must end as if the file ended there, not spin.
struct FailingFile {
    const uint8_t* data;
    size_t readable, position;
};

inline FILE* openFailingInput(const uint8_t* data, size_t readable) {
    cookie_io_functions_t io = {};
    io.read = [](void* cookie, char* buffer, size_t size) -> ssize_t {
        FailingFile& file = *static_cast<FailingFile*>(cookie);
        if (file.position == file.readable) {
            errno = EIO;
            return -1;
        }
        const size_t count = std::min(size, file.readable - file.position);
        memcpy(buffer, file.data + file.position, count);
        file.position += count;
        return static_cast<ssize_t>(count);
    };
    // Seekable like a real file, so the reader may look at the first bytes and go back.
    io.seek = [](void* cookie, off64_t* offset, int whence) -> int {
        FailingFile& file = *static_cast<FailingFile*>(cookie);
        const off64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? off64_t(file.position)
                                                  : off64_t(file.readable);
        const off64_t target = base + *offset;
        if (target < 0 || target > off64_t(file.readable)) {
            errno = EINVAL;
            return -1;
        }
        file.position = size_t(target);
        *offset = target;
        return 0;
    };
    io.close = [](void* cookie) {
        delete static_cast<FailingFile*>(cookie);
        return 0;
    };
    FailingFile* cookie = new FailingFile{data, readable, 0};
    FILE* file = fopencookie(cookie, "r", io);
    if (file == nullptr) delete cookie;
    return file;
}

// Runs `check(file, readable)` on the whole input, then on a file that fails halfway through.
template <typename Check>
void withEachFile(const uint8_t* data, size_t size, Check check) {
    if (FILE* file = openInput(data, size)) check(file, size);
    if (FILE* file = openFailingInput(data, size / 2)) check(file, size / 2);
}

// The content lines the line reader should deliver, worked out independently: lines end at
// '\n' or '\r', only the first 255 characters count, a C string ends at the first null byte,
// and empty or "#" lines are skipped.
inline std::vector<std::string> contentLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    // A whole UTF-8 byte-order mark at the very start is not part of the first line.
    size_t start = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    for (size_t i = start; i <= size; ++i) {
        if (i < size && data[i] != '\n' && data[i] != '\r') continue;
        std::string line(reinterpret_cast<const char*>(data) + start, std::min<size_t>(i - start, 255));
        line = line.c_str();
        if (!line.empty() && line[0] != '#') lines.push_back(line);
        start = i + 1;
    }
    return lines;
}

// A leading "%d" read without the parser under test: blanks, a sign, digits, saturated at 32 bits.
inline bool referenceNumber(const char* text, int32_t* value) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') return false;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > (int64_t{1} << 32)) magnitude = int64_t{1} << 32;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    *value = static_cast<int32_t>(signedValue > INT32_MAX   ? INT32_MAX
                                  : signedValue < INT32_MIN ? INT32_MIN
                                                            : signedValue);
    return true;
}

// ASan cannot see a write that stays inside the one game record, so compare the bytes.
class RecordSnapshot {
   public:
    RecordSnapshot() { memcpy(bytes_, &game, sizeof game); }

    // True when every byte outside the [offset, offset + size) ranges is as it was.
    bool unchangedOutside(std::initializer_list<std::pair<size_t, size_t>> owned) const {
        unsigned char now[sizeof(GameState)];
        memcpy(now, &game, sizeof game);
        for (const auto& range : owned) memcpy(now + range.first, bytes_ + range.first, range.second);
        return memcmp(now, bytes_, sizeof now) == 0;
    }

   private:
    unsigned char bytes_[sizeof(GameState)];
};

// By address: the record derives from Settings, where offsetof is not to be had.
#define FIELD_RANGE(field)                                                                                      \
    std::make_pair(                                                                                             \
        static_cast<size_t>(reinterpret_cast<const char*>(&game.field) - reinterpret_cast<const char*>(&game)), \
        sizeof game.field)
