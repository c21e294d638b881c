// Saving the game's files on Windows: a temporary file moved over the real one. Names go to
// Windows in UTF-16, so any folder name works.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstring>

#include "platform/paths.h"
#include "platform/save_file.h"
#include "platform/wide_windows.h"

// Copies `text` whole or not at all.
static int copyWhole(char* to, size_t size, const char* text) {
    const size_t length = strlen(text);
    if (length >= size) return 0;
    memcpy(to, text, length + 1);
    return 1;
}

// 1 when the file takes writing, 0 when it refuses, -1 when there is none. Opening it for
// writing, without truncating, asks Windows itself: the read-only attribute, and who may write
// by the file's and its folder's access rights, which the attribute alone does not tell.
static int probeWritable(const wchar_t* path) {
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return 1;
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND ? -1 : 0;
}

// A trial file beside `path`, gone again when closed.
static int folderTakesNewFiles(const char* path) {
    char trial[sizeof(NativePath::text) + 16];
    snprintf(trial, sizeof trial, "%s.probe", path);
    const HANDLE file = CreateFileW(toWide(trial).text, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return 1;
}

int canSaveFile(const char* gamePath) {
    const NativePath path = nativePath(gamePath);
    const WideText wide = toWide(path.text);
    if (wide.text[0] == L'\0') return 0;
    const int writable = probeWritable(wide.text);
    return writable < 0 ? folderTakesNewFiles(path.text) : writable;
}

int beginSave(const char* gamePath, SaveStream* save) {
    save->file = nullptr;
    save->temporary[0] = '\0';
    if (!copyWhole(save->target, sizeof save->target, nativePath(gamePath).text)) return -1;
    const WideText target = toWide(save->target);
    if (target.text[0] == L'\0' || probeWritable(target.text) == 0) return -1;  // refuses writing: left untouched
    snprintf(save->temporary, sizeof save->temporary, "%s.tmp", save->target);
    save->file = _wfopen(toWide(save->temporary).text, L"w");
    if (save->file != nullptr) return 0;
    save->temporary[0] = '\0';
    save->file = _wfopen(target.text, L"w");
    return save->file != nullptr ? 0 : -1;
}

void saveAsBytes(SaveStream* save) { _setmode(_fileno(save->file), _O_BINARY); }

int finishSave(SaveStream* save) {
    bool written = fflush(save->file) == 0 && !ferror(save->file);
    _commit(_fileno(save->file));
    written = (fclose(save->file) == 0) && written;
    save->file = nullptr;
    if (save->temporary[0] == '\0') return written ? 0 : -1;
    const WideText temporary = toWide(save->temporary);
    const WideText target = toWide(save->target);
    // rename never replaces an existing file on Windows.
    if (written && MoveFileExW(temporary.text, target.text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    DeleteFileW(temporary.text);
    return -1;
}

// The one temporary name is reused by the next save, so nothing piles up here.
void removeStaleTemporaries(const char* gamePath) { (void)gamePath; }

void removeSavedFile(const char* gamePath) { DeleteFileW(toWide(nativePath(gamePath).text).text); }

// The lock is a file beside the saved one, locked whole; Windows lets it go, and removes the
// file, when the last handle closes, also when the game dies holding it. A game that comes
// while the file is going saves unlocked.
static HANDLE heldLock = INVALID_HANDLE_VALUE;

int lockSaveFolder(const char* gamePath) {
    char lockPath[sizeof(NativePath::text) + 16];
    snprintf(lockPath, sizeof lockPath, "%s.lock", nativePath(gamePath).text);
    const HANDLE file = CreateFileW(toWide(lockPath).text, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    OVERLAPPED whole = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        CloseHandle(file);
        return -1;
    }
    heldLock = file;
    return 1;
}

void unlockSaveFolder(int lock) {
    if (lock < 0 || heldLock == INVALID_HANDLE_VALUE) return;
    CloseHandle(heldLock);
    heldLock = INVALID_HANDLE_VALUE;
}

// Full paths, compared as Windows compares names.
int sameSavedFile(const char* a, const char* b) {
    wchar_t fullA[MAX_PATH * 4], fullB[MAX_PATH * 4];
    const DWORD lengthA = GetFullPathNameW(toWide(nativePath(a).text).text, MAX_PATH * 4, fullA, nullptr);
    const DWORD lengthB = GetFullPathNameW(toWide(nativePath(b).text).text, MAX_PATH * 4, fullB, nullptr);
    if (lengthA == 0 || lengthB == 0 || lengthA >= MAX_PATH * 4 || lengthB >= MAX_PATH * 4) return 0;
    return CompareStringOrdinal(fullA, -1, fullB, -1, TRUE) == CSTR_EQUAL;
}
