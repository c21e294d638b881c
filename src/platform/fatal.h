// The one way start-up failures end the program.
#pragma once

// Writes the message and a line end to stderr, then exits with status 1 (the exit handler saves).
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

#ifdef _WIN32
// The file that stderr goes to, for the message box to name; none until this is called.
void tellWhereErrorsGo(const wchar_t* path);
#endif
