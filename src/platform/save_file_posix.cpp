// Saving the game's files on POSIX systems: links followed where they are trusted, a
// temporary file renamed over the real one, modes kept.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/paths.h"
#include "platform/save_file.h"
#include "platform/trusted_links.h"

// The temporary file's name: the real file's, this mark and six random characters. The mark
// keeps a player's own "config.txt.backup" out of reach of the tidying at start.
static const char TEMPORARY_MARK[] = ".zk-";

// The folder part of a file path, "." for a bare name.
static void folderOf(const char* file, char* folder, size_t size) {
    const char* slash = strrchr(file, '/');
    if (slash == nullptr) {
        snprintf(folder, size, ".");
    } else if (slash == file) {
        snprintf(folder, size, "/");
    } else {
        snprintf(folder, size, "%.*s", static_cast<int>(slash - file), file);
    }
}

// The file a save of `gamePath` would write, opened for writing without truncating, or -1:
// errno ENOENT when it is missing, anything else when it refuses writing or is no plain file.
static int openTarget(const char* gamePath, char* target, size_t size, struct stat* status) {
    if (!followTrustedLinks(nativePath(gamePath).text, target, size)) {
        errno = EACCES;
        return -1;
    }
    return openPlainFile(target, O_WRONLY, status);
}

static int folderTakesNewFiles(const char* real) {
    char folder[PATH_MAX];
    folderOf(real, folder, sizeof folder);
    return faccessat(AT_FDCWD, folder, W_OK | X_OK, AT_EACCESS) == 0;
}

int canSaveFile(const char* gamePath) {
    char real[PATH_MAX];
    struct stat status;
    const int fd = openTarget(gamePath, real, sizeof real, &status);
    if (fd >= 0) close(fd);
    return fd >= 0 ? 1 : errno == ENOENT && folderTakesNewFiles(real);
}

static mode_t modeForNewFile() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// A fresh temporary file beside the real one, with the old file's mode and group; -1 when the
// folder takes no new files.
static int makeTemporary(SaveStream* save, const struct stat* old) {
    if (snprintf(save->temporary, sizeof save->temporary, "%s%sXXXXXX", save->target, TEMPORARY_MARK) >=
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

static int openStream(SaveStream* save, int fd) {
    save->file = fdopen(fd, "w");  // fdopen never truncates
    if (save->file != nullptr) return 0;
    close(fd);
    return -1;
}

int beginSave(const char* gamePath, SaveStream* save) {
    save->file = nullptr;
    save->temporary[0] = '\0';
    struct stat old;
    const int fd = openTarget(gamePath, save->target, sizeof save->target, &old);
    if (fd < 0 && errno != ENOENT) return -1;  // refuses writing, or no plain file: left untouched
    // Devices are written as they are; renaming over them would replace them.
    if (fd < 0 || S_ISREG(old.st_mode)) {
        const int temporary = makeTemporary(save, fd >= 0 ? &old : nullptr);
        if (temporary >= 0) {
            if (fd >= 0) close(fd);
            if (openStream(save, temporary) == 0) return 0;
            unlink(save->temporary);
            return -1;
        }
        save->temporary[0] = '\0';
    }
    if (fd >= 0) return openStream(save, fd);
    // No temporary file beside it, yet the name itself may still be made; never through a link.
    const int made = open(save->target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, modeForNewFile());
    return made >= 0 ? openStream(save, made) : -1;
}

void saveAsBytes(SaveStream*) {}  // POSIX streams never translate

// The rename itself reaches the disk only with its folder.
static void syncFolderOf(const char* real) {
    char folder[PATH_MAX];
    folderOf(real, folder, sizeof folder);
    const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// In place the new text lies over the old one; only now is the old tail cut off, so a kill
// at any moment leaves old and new bytes, never an empty file.
static bool cutAndSync(FILE* file) {
    const int fd = fileno(file);
    struct stat status;
    if (fstat(fd, &status) != 0) return false;
    if (!S_ISREG(status.st_mode)) return true;  // a device has no length and nothing to sync
    const off_t length = lseek(fd, 0, SEEK_CUR);
    return length >= 0 && ftruncate(fd, length) == 0 && fsync(fd) == 0;
}

int finishSave(SaveStream* save) {
    // A short write leaves the stream's error mark even when the flush itself succeeds.
    bool written = fflush(save->file) == 0 && !ferror(save->file);
    if (save->temporary[0] != '\0')
        written = written && fsync(fileno(save->file)) == 0;
    else
        written = written && cutAndSync(save->file);
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

// Ours: the file's name, the mark, six characters of mkostemp's alphabet.
static bool isTemporaryOf(const char* entry, const char* name) {
    const size_t nameLength = strlen(name), markLength = strlen(TEMPORARY_MARK);
    if (strncmp(entry, name, nameLength) != 0 || strncmp(entry + nameLength, TEMPORARY_MARK, markLength) != 0)
        return false;
    const char* random = entry + nameLength + markLength;
    return strlen(random) == 6 && strspn(random, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") == 6;
}

// A save takes milliseconds; one older than this was cut short by a kill or a power cut.
static const time_t STALE_AFTER_SECONDS = 60;

void removeStaleTemporaries(const char* gamePath) {
    char real[PATH_MAX], folder[PATH_MAX];
    if (!followTrustedLinks(nativePath(gamePath).text, real, sizeof real)) return;
    folderOf(real, folder, sizeof folder);
    const char* name = strrchr(real, '/') == nullptr ? real : strrchr(real, '/') + 1;
    DIR* dir = opendir(folder);
    if (dir == nullptr) return;
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        if (!isTemporaryOf(entry->d_name, name)) continue;
        struct stat status;
        if (fstatat(dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
        // Only plain files of this player, left long enough that no running game still writes them.
        if (!S_ISREG(status.st_mode) || status.st_uid != geteuid() || now - status.st_mtime < STALE_AFTER_SECONDS)
            continue;
        unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}
