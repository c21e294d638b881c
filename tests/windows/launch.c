/* Starts a program with exactly the command line given, as a shortcut or another program may
 * (Wine's own start-up rewrites the program's path with backslashes), with the variables given
 * set in its environment; waits for it and ends with its exit status. Wide calls throughout, so
 * that any name reaches the program as it was written.
 * Usage: launch.exe "COMMAND LINE" [NAME=VALUE...] */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

int wmain(int argc, wchar_t* argv[]) {
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    DWORD status = 255;
    int i;

    if (argc < 2) {
        fprintf(stderr, "usage: launch.exe \"COMMAND LINE\" [NAME=VALUE...]\n");
        return 255;
    }
    for (i = 2; i < argc; ++i) {
        wchar_t* equals = wcschr(argv[i], L'=');
        if (equals == NULL) {
            fprintf(stderr, "not NAME=VALUE: %ls\n", argv[i]);
            return 255;
        }
        *equals = L'\0';
        SetEnvironmentVariableW(argv[i], equals + 1);
    }
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessW(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "cannot start [%ls]: error %lu\n", argv[1], GetLastError());
        return 255;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)status;
}
