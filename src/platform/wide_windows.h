// The game's UTF-8 names in the UTF-16 that Windows' wide calls take, and back. Only the wide
// calls reach every file name; the ANSI ones see names through the system's code page.
#pragma once

#include <cstddef>

struct WideText {
    wchar_t text[4096];
};

// Empty when `utf8` is no valid UTF-8 or does not fit: no file has an empty name, so opening
// it fails rather than opening another file.
WideText toWide(const char* utf8);

// Returns 0 when `wide` does not fit in `size` bytes of UTF-8.
int toUtf8(const wchar_t* wide, char* utf8, size_t size);
