// The program's entry on Windows, in place of SDL's entry glue and doing what it does: SDL
// loaded without its parachute, stdout and stderr sent to stdout.txt and stderr.txt beside the
// program (unless SDL_STDIO_REDIRECT=0), and the empty ones removed at exit. Unlike SDL's, it
// finds the program's folder in UTF-16, so the files appear whatever the folder's name, and
// it hands main its arguments in UTF-8.
#include <SDL.h>
#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/fatal.h"

static const size_t LONGEST_PATH = 32768;
static wchar_t stdoutPath[LONGEST_PATH];
static wchar_t stderrPath[LONGEST_PATH];

// A file nothing was written to goes again.
static void removeIfEmpty(const wchar_t* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path, GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0 && data.nFileSizeLow == 0)
        DeleteFileW(path);
}

static void closeOutput() {
    fclose(stdout);
    fclose(stderr);
    if (stdoutPath[0] != L'\0') removeIfEmpty(stdoutPath);
    if (stderrPath[0] != L'\0') removeIfEmpty(stderrPath);
}

static void quitSdl() { SDL_Quit(); }

static void redirectOutput() {
    wchar_t folder[LONGEST_PATH];
    DWORD length = GetModuleFileNameW(nullptr, folder, LONGEST_PATH);
    if (length == 0 || length >= LONGEST_PATH - 16) return;
    while (length > 0 && folder[length] != L'\\') --length;
    folder[length] = L'\0';
    swprintf(stdoutPath, LONGEST_PATH, L"%ls\\stdout.txt", folder);
    swprintf(stderrPath, LONGEST_PATH, L"%ls\\stderr.txt", folder);
    // Where the folder takes no files (an install under Program Files), the output goes nowhere.
    _wfreopen(stdoutPath, L"w", stdout);
    _wfreopen(stderrPath, L"w", stderr);
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    setbuf(stderr, nullptr);
}

// One argument in UTF-8.
static std::string utf8Argument(const wchar_t* wide) {
    std::string text(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), '\0');
    if (!text.empty()) {
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], static_cast<int>(text.size()), nullptr, nullptr);
        text.pop_back();  // the terminating zero
    }
    return text;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* redirect = getenv("SDL_STDIO_REDIRECT");
    if (redirect == nullptr || atoi(redirect) != 0) redirectOutput();

    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) arguments.push_back(utf8Argument(wide[i]));
    LocalFree(wide);
    if (arguments.empty()) arguments.push_back("zembrak.exe");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) fatal("Cannot initialize SDL: %s.", SDL_GetError());
    atexit(closeOutput);
    atexit(quitSdl);
    SDL_SetModuleHandle(GetModuleHandle(nullptr));
    exit(SDL_main(static_cast<int>(arguments.size()), argv.data()));
}
