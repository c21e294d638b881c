#include "platform/paths.h"

#include <cstring>

NativePath nativePath(const char* gamePath) {
    NativePath result;
    size_t i = 0;
    for (; gamePath[i] != '\0' && i + 1 < sizeof result.text; ++i) {
#ifdef _WIN32
        result.text[i] = gamePath[i];
#else
        result.text[i] = gamePath[i] == '\\' ? '/' : gamePath[i];
#endif
    }
    result.text[i] = '\0';
    return result;
}

int programDirectoryEnd(const char* programPath) {
    for (int i = static_cast<int>(strlen(programPath)); i >= 0; --i) {
        if (programPath[i] == '/' || programPath[i] == '\\') return i > 0 ? i : -1;
    }
    return -1;
}

const char* fileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    return name;
}
