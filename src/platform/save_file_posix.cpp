// Saving the game's files on POSIX systems: links followed, a temporary file renamed over
// the real one, modes kept.
#include "platform/save_file.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Copies `text` whole or not at all.
static int copyWhole(char* to, size_t size, const char* text) {
    const size_t length = strlen(text);
    if (length >= size) return 0;
    memcpy(to, text, length + 1);
    return 1;
}

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

void saveAsBytes(SaveStream*) {}  // POSIX streams never translate

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

