// Saving the game's files without losing them, and the player's own folders, per system.
#include "app/platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Copies `text` whole or not at all.
static int copyWhole(char* to, size_t size, const char* text) {
    const size_t length = strlen(text);
    if (length >= size) return 0;
    memcpy(to, text, length + 1);
    return 1;
}

#ifdef _WIN32

int canSaveFile(const char* gamePath) {
    const NativePath path = nativePath(gamePath);
    if (_access(path.text, 0) == 0) return _access(path.text, 2) == 0;
    // No file: the folder takes new files if a trial file can be made and removed there.
    char trial[sizeof path.text + 16];
    snprintf(trial, sizeof trial, "%s.probe", path.text);
    FILE* file = fopen(trial, "w");
    if (file == nullptr) return 0;
    fclose(file);
    remove(trial);
    return 1;
}

int beginSave(const char* gamePath, SaveStream* save) {
    const NativePath path = nativePath(gamePath);
    if (!copyWhole(save->target, sizeof save->target, path.text)) return -1;
    // A write-protected file stays as it is.
    if (_access(path.text, 0) == 0 && _access(path.text, 2) != 0) return -1;
    snprintf(save->temporary, sizeof save->temporary, "%s.tmp", save->target);
    save->file = fopen(save->temporary, "w");
    if (save->file != nullptr) return 0;
    save->temporary[0] = '\0';
    save->file = fopen(save->target, "w");
    return save->file != nullptr ? 0 : -1;
}

int finishSave(SaveStream* save) {
    bool written = fflush(save->file) == 0 && !ferror(save->file);
    _commit(_fileno(save->file));
    written = (fclose(save->file) == 0) && written;
    if (save->temporary[0] == '\0') return written ? 0 : -1;
    // rename never replaces an existing file on Windows.
    if (written && MoveFileExA(save->temporary, save->target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    remove(save->temporary);
    return -1;
}

int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create) {
    (void)folder;  // one folder holds both on Windows
    const char* appData = getenv("APPDATA");
    if (appData == nullptr || appData[0] == '\0') return 0;
    char directory[1024];
    if (snprintf(directory, sizeof directory, "%s\\Zembrak", appData) >= static_cast<int>(sizeof directory)) return 0;
    if (create) _mkdir(directory);
    return snprintf(path, size, "%s\\%s", directory, name) < static_cast<int>(size);
}

#else

// Follows links from `path` to the file they lead to, which need not exist yet.
static int resolveLinks(const char* path, char* real, size_t size) {
    if (!copyWhole(real, size, path)) return 0;
    for (int hops = 0; hops < 40; ++hops) {
        char link[4096];
        const ssize_t length = readlink(real, link, sizeof link - 1);
        if (length < 0) return errno == EINVAL || errno == ENOENT;  // not a link: this is the file
        link[length] = '\0';
        if (link[0] == '/') {
            if (!copyWhole(real, size, link)) return 0;
            continue;
        }
        // A relative link counts from the folder that holds it.
        char* slash = strrchr(real, '/');
        const size_t folderLength = slash == nullptr ? 0 : static_cast<size_t>(slash - real) + 1;
        if (folderLength + strlen(link) >= size) return 0;
        memcpy(real + folderLength, link, strlen(link) + 1);
    }
    return 0;  // a loop of links
}

// The folder part of a file path, "." for a bare name.
static void folderOf(const char* file, char* folder, size_t size) {
    const char* slash = strrchr(file, '/');
    if (slash == nullptr) {
        copyWhole(folder, size, ".");
    } else if (slash == file) {
        copyWhole(folder, size, "/");
    } else {
        const size_t length = static_cast<size_t>(slash - file) < size ? slash - file : size - 1;
        memcpy(folder, file, length);
        folder[length] = '\0';
    }
}

// 1 when the file takes writing, 0 when it refuses, -1 when there is none. Opening for writing
// without truncating asks the system itself, links, modes, ACLs and read-only mounts included.
static int probeWritable(const char* real, struct stat* status) {
    const int fd = open(real, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? -1 : 0;
    fstat(fd, status);
    close(fd);
    return 1;
}

static int folderTakesNewFiles(const char* real) {
    char folder[4096];
    folderOf(real, folder, sizeof folder);
    return faccessat(AT_FDCWD, folder, W_OK | X_OK, AT_EACCESS) == 0;
}

int canSaveFile(const char* gamePath) {
    char real[4096];
    if (!resolveLinks(nativePath(gamePath).text, real, sizeof real)) return 0;
    struct stat status;
    const int writable = probeWritable(real, &status);
    return writable < 0 ? folderTakesNewFiles(real) : writable;
}

static mode_t modeForNewFile() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// A fresh temporary file beside the real one, with the old file's mode and group; -1 when the
// folder takes no new files.
static int makeTemporary(SaveStream* save, const struct stat* old) {
    if (snprintf(save->temporary, sizeof save->temporary, "%s.XXXXXX", save->target) >=
        static_cast<int>(sizeof save->temporary))
        return -1;
    const int fd = mkostemp(save->temporary, O_CLOEXEC);
    if (fd < 0) return -1;
    if (old != nullptr) {
        if (fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
            // Not a member of the old file's group: the file keeps ours.
        }
        fchmod(fd, old->st_mode & 07777);
    } else {
        fchmod(fd, modeForNewFile());
    }
    return fd;
}

int beginSave(const char* gamePath, SaveStream* save) {
    save->file = nullptr;
    save->temporary[0] = '\0';
    if (!resolveLinks(nativePath(gamePath).text, save->target, sizeof save->target)) return -1;
    struct stat old;
    const int writable = probeWritable(save->target, &old);
    if (writable == 0) return -1;  // refuses writing: left untouched
    // Devices and pipes are written as they are; renaming over them would replace them.
    const bool regular = writable < 0 || S_ISREG(old.st_mode);
    const int fd = regular ? makeTemporary(save, writable > 0 ? &old : nullptr) : -1;
    if (fd >= 0) {
        save->file = fdopen(fd, "w");
        if (save->file != nullptr) return 0;
        close(fd);
        unlink(save->temporary);
    }
    save->temporary[0] = '\0';
    save->file = fopen(save->target, "w");
    return save->file != nullptr ? 0 : -1;
}

// The rename itself reaches the disk only with its folder.
static void syncFolderOf(const char* real) {
    char folder[4096];
    folderOf(real, folder, sizeof folder);
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int finishSave(SaveStream* save) {
    // A short write leaves the stream's error mark even when the flush itself succeeds.
    bool written = fflush(save->file) == 0 && !ferror(save->file);
    if (save->temporary[0] != '\0') written = fsync(fileno(save->file)) == 0 && written;
    written = (fclose(save->file) == 0) && written;
    save->file = nullptr;
    if (save->temporary[0] == '\0') return written ? 0 : -1;
    if (written && rename(save->temporary, save->target) == 0) {
        syncFolderOf(save->target);
        return 0;
    }
    unlink(save->temporary);
    return -1;
}

// Makes every missing folder on the way to `directory`.
static int makeFolders(char* directory) {
    for (char* p = directory + 1; *p != '\0'; ++p) {
        if (*p != '/') continue;
        *p = '\0';
        const int made = mkdir(directory, 0755) == 0 || errno == EEXIST;
        *p = '/';
        if (!made) return 0;
    }
    return mkdir(directory, 0755) == 0 || errno == EEXIST;
}

// $XDG_... when it names an absolute folder, else the default below $HOME.
static int xdgFolder(PlayerFolder folder, char* directory, size_t size) {
    const char* variable = getenv(folder == PLAYER_SETTINGS ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME");
    int length;
    if (variable != nullptr && variable[0] == '/') {
        length = snprintf(directory, size, "%s/zembrak", variable);
    } else {
        const char* home = getenv("HOME");
        if (home == nullptr || home[0] != '/') return 0;
        length = snprintf(directory, size, "%s/%s/zembrak", home,
                          folder == PLAYER_SETTINGS ? ".config" : ".local/share");
    }
    return length < static_cast<int>(size);
}

int playerFilePath(PlayerFolder folder, const char* name, char* path, size_t size, int create) {
    char directory[1024];
    if (!xdgFolder(folder, directory, sizeof directory)) return 0;
    if (create && !makeFolders(directory)) return 0;
    return snprintf(path, size, "%s/%s", directory, name) < static_cast<int>(size);
}

#endif
