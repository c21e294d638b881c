/* Starts a program with exactly the command line given, as a shortcut or another program may
 * (Wine's own start-up rewrites the program's path with backslashes), waits for it and ends
 * with its exit status. Usage: launch.exe "COMMAND LINE" */
#include <stdio.h>
#include <windows.h>

int main(int argc, char *argv[])
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    DWORD status = 255;

    if (argc != 2) {
        fprintf(stderr, "usage: launch.exe \"COMMAND LINE\"\n");
        return 255;
    }
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fprintf(stderr, "cannot start [%s]: error %lu\n", argv[1], GetLastError());
        return 255;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)status;
}
