// The program's entry on Windows, in place of SDL's entry glue and doing what it does: SDL
// loaded without its parachute, stdout and stderr sent to stdout.txt and stderr.txt beside the
// program (unless SDL_STDIO_REDIRECT=0), and the empty ones removed at exit. Unlike SDL's, it
// finds the program's folder in UTF-16, so the files appear whatever the folder's name, puts
// them in %APPDATA%\Zembrak where that folder takes no files, and hands main its arguments in
// UTF-8.
#include <SDL.h>
#include <windows.h>
// After windows.h: shellapi.h needs the types it declares.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <sys/stat.h>

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

// True when `folder` takes a file of ours: stdout.txt is made there, or is there and writable.
static bool folderTakesOutput(const wchar_t* folder) {
    wchar_t trial[LONGEST_PATH];
    if (swprintf(trial, LONGEST_PATH, L"%ls\\stdout.txt", folder) < 0) return false;
    const HANDLE file = CreateFileW(trial, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// The program's folder; where that takes no files (an install under Program Files), the
// player's %APPDATA%\Zembrak, where the settings go too. False when neither does.
static bool chooseOutputFolder(wchar_t* folder) {
    DWORD length = GetModuleFileNameW(nullptr, folder, LONGEST_PATH);
    if (length > 0 && length < LONGEST_PATH - 16) {
        while (length > 0 && folder[length] != L'\\') --length;
        folder[length] = L'\0';
        if (folderTakesOutput(folder)) return true;
    }
    length = GetEnvironmentVariableW(L"APPDATA", folder, LONGEST_PATH - 16);
    if (length == 0 || length >= LONGEST_PATH - 16) return false;
    wcscat(folder, L"\\Zembrak");
    CreateDirectoryW(folder, nullptr);
    return folderTakesOutput(folder);
}

// Sends one of the standard streams to a file. Started without a console (from Explorer or
// the Start menu) the stream has no descriptor, and the C library refuses to reopen it: it is
// given its usual descriptor on the file first. The standard handle follows, so that what SDL
// or a library writes there lands in the file too.
static void reopen(const wchar_t* path, FILE* stream, int descriptor, DWORD standardHandle) {
    if (_wfreopen(path, L"w", stream) == nullptr) {
        const int file = _wopen(path, _O_WRONLY | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
        if (file < 0) return;
        if (file != descriptor) {
            _dup2(file, descriptor);
            _close(file);
        }
        stream->_file = descriptor;
        if (_wfreopen(path, L"w", stream) == nullptr) return;
    }
    SetStdHandle(standardHandle, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
}

static void redirectOutput() {
    wchar_t folder[LONGEST_PATH];
    if (!chooseOutputFolder(folder)) return;
    swprintf(stdoutPath, LONGEST_PATH, L"%ls\\stdout.txt", folder);
    swprintf(stderrPath, LONGEST_PATH, L"%ls\\stderr.txt", folder);
    reopen(stdoutPath, stdout, 1, STD_OUTPUT_HANDLE);
    reopen(stderrPath, stderr, 2, STD_ERROR_HANDLE);
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    setbuf(stderr, nullptr);
    tellWhereErrorsGo(stderrPath);
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
