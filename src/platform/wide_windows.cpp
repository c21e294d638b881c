#include "platform/wide_windows.h"

#include <windows.h>

WideText toWide(const char* utf8) {
    WideText result;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, result.text,
                                           sizeof result.text / sizeof result.text[0]);
    if (length == 0) result.text[0] = L'\0';
    return result;
}

int toUtf8(const wchar_t* wide, char* utf8, size_t size) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, static_cast<int>(size), nullptr, nullptr);
    if (length == 0 && size > 0) utf8[0] = '\0';
    return length != 0;
}
