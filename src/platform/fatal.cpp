#include "platform/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void fatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    exit(1);
}
