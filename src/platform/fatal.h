// The one way start-up failures end the program.
#pragma once

// Writes the message and a line end to stderr, then exits with status 1 (the exit handler saves).
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
