// Saving the game's files on POSIX systems: the folder is walked to once, links followed where
// they are trusted, and all else happens in that open folder: a temporary file renamed over the
// real one, or, where the folder takes no new files, the real one written in place.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/paths.h"
#include "platform/save_file.h"
#include "platform/trusted_links.h"

// The temporary file's name: the real file's, this mark and six random characters. The mark
// keeps a player's own "config.txt.backup" out of reach of the tidying at start.
static const char TEMPORARY_MARK[] = ".zk-";
static const char RANDOM_LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
static const size_t RANDOM_LENGTH = 6;

void (*saveFolderWalked)() = nullptr;

static int openFolderOf(const char* gamePath, char* name, size_t size) {
    return openTrustedFolder(nativePath(gamePath).text, name, size);
}

static bool folderTakesNewFiles(int folder) { return faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) == 0; }

// A score file shared by the game's group (a setgid install), which its members write in turn.
static bool sharedScoreFile(const struct stat& file) {
    return file.st_gid == getegid() && (file.st_mode & S_IWGRP) != 0;
}

// The player's own file with its write permission taken away: left alone, even by root.
static bool refusesWriting(const struct stat& file) {
    return S_ISREG(file.st_mode) && file.st_uid == geteuid() && (file.st_mode & S_IWUSR) == 0;
}

static bool inPlayersGroups(gid_t group) {
    if (group == getegid()) return true;
    std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
    groups.resize(static_cast<size_t>(std::max(getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

// What the mode gives the class the player falls in; root's override does not count, so root
// writes no other user's file in place that the mode keeps from it.
static bool modeLetsPlayerWrite(const struct stat& file) {
    if (file.st_uid == geteuid()) return (file.st_mode & S_IWUSR) != 0;
    if (inPlayersGroups(file.st_gid)) return (file.st_mode & S_IWGRP) != 0;
    return (file.st_mode & S_IWOTH) != 0;
}

// Written through, a file with a second hard link changes somewhere else too: maybe a private
// file of the player that another user linked into a shared folder. With one link it is only
// itself, whoever owns it: a score file the administrator left writable for all is shared.
static bool writableInPlace(const struct stat& file) {
    if (!S_ISREG(file.st_mode)) return true;  // a device such as /dev/null
    return file.st_nlink == 1 && (file.st_uid == geteuid() || sharedScoreFile(file) || modeLetsPlayerWrite(file));
}

int canSaveFile(const char* gamePath) {
    char name[NAME_MAX + 1];
    const int folder = openFolderOf(gamePath, name, sizeof name);
    if (folder < 0) return 0;
    struct stat status;
    const int fd = openPlainFileAt(folder, name, O_WRONLY, &status);
    int can;
    if (fd >= 0) {
        close(fd);
        can = !refusesWriting(status) && (writableInPlace(status) || folderTakesNewFiles(folder));
    } else {
        can = errno == ENOENT && folderTakesNewFiles(folder);
    }
    close(folder);
    return can;
}

// The old file's mode where it was the player's own or the group's score file; otherwise the
// usual mode, never another user's choice of world-writable or set-id bits.
static mode_t modeFor(const struct stat* old) {
    if (old != nullptr && old->st_uid == geteuid()) return old->st_mode & 0777;
    if (old != nullptr && sharedScoreFile(*old)) return old->st_mode & 0775;
    const mode_t mask = umask(0);
    umask(mask);
    return 0644 & ~mask;
}

static void randomLetters(char* out) {
    unsigned char bytes[RANDOM_LENGTH];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        static unsigned counter = 0;
        const unsigned long mixed = static_cast<unsigned long>(time(nullptr)) ^
                                    (static_cast<unsigned long>(getpid()) << 16) ^ ++counter * 2654435761u;
        for (size_t i = 0; i < RANDOM_LENGTH; ++i) bytes[i] = static_cast<unsigned char>(mixed >> (5 * i));
    }
    for (size_t i = 0; i < RANDOM_LENGTH; ++i) out[i] = RANDOM_LETTERS[bytes[i] % (sizeof RANDOM_LETTERS - 1)];
    out[RANDOM_LENGTH] = '\0';
}

// A fresh temporary file beside the real one, with the mode and group it should keep; -1 when
// the folder takes no new files.
static int makeTemporary(SaveStream* save, const struct stat* old) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        char letters[RANDOM_LENGTH + 1];
        randomLetters(letters);
        if (snprintf(save->temporary, sizeof save->temporary, "%s%s%s", save->target, TEMPORARY_MARK, letters) >=
            static_cast<int>(sizeof save->temporary))
            break;
        const int fd =
            openat(save->folder, save->temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        if (old != nullptr && (old->st_uid == geteuid() || sharedScoreFile(*old))) {
            if (fchown(fd, static_cast<uid_t>(-1), old->st_gid) != 0) {
                // Not a member of the old file's group: the file keeps ours.
            }
        }
        fchmod(fd, modeFor(old));
        return fd;
    }
    save->temporary[0] = '\0';
    return -1;
}

static int openStream(SaveStream* save, int fd) {
    save->file = fdopen(fd, "w");  // fdopen never truncates
    if (save->file != nullptr) return 0;
    close(fd);
    return -1;
}

static int giveUp(SaveStream* save, int fd) {
    if (fd >= 0) close(fd);
    if (save->temporary[0] != '\0') unlinkat(save->folder, save->temporary, 0);
    save->temporary[0] = '\0';
    if (save->folder >= 0) close(save->folder);
    save->folder = -1;
    return -1;
}

int beginSave(const char* gamePath, SaveStream* save) {
    save->file = nullptr;
    save->temporary[0] = '\0';
    save->oldLength = -1;
    save->folder = openFolderOf(gamePath, save->target, sizeof save->target);
    if (save->folder < 0) return -1;
    if (saveFolderWalked != nullptr) saveFolderWalked();
    struct stat old;
    const int fd = openPlainFileAt(save->folder, save->target, O_WRONLY, &old);
    // Refuses writing, or no plain file: left untouched.
    if ((fd < 0 && errno != ENOENT) || (fd >= 0 && refusesWriting(old))) return giveUp(save, fd);
    // Devices are written as they are; renaming over them would replace them.
    if (fd < 0 || S_ISREG(old.st_mode)) {
        const int temporary = makeTemporary(save, fd >= 0 ? &old : nullptr);
        if (temporary >= 0) {
            if (fd >= 0) close(fd);
            return openStream(save, temporary) == 0 ? 0 : giveUp(save, -1);
        }
    }
    if (fd >= 0) {
        if (!writableInPlace(old)) return giveUp(save, fd);
        if (S_ISREG(old.st_mode)) save->oldLength = old.st_size;
        return openStream(save, fd) == 0 ? 0 : giveUp(save, -1);
    }
    // No temporary file beside it, yet the name itself may still be made; never through a link.
    const int made =
        openat(save->folder, save->target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, modeFor(nullptr));
    if (made < 0) return giveUp(save, -1);
    save->oldLength = 0;
    return openStream(save, made) == 0 ? 0 : giveUp(save, -1);
}

void saveAsBytes(SaveStream*) {}  // POSIX streams never translate

// The rename itself reaches the disk only with its folder.
static void syncFolder(int folder) {
    const int fd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// In place the new text goes over the old one padded with line ends to the old length, in one
// write, and only then is the file cut: a kill at any moment leaves the old text or the new
// one followed by empty lines, never a mix of their digits.
static bool padCutAndSync(SaveStream* save) {
    FILE* file = save->file;
    // A device has no length and nothing to sync.
    if (save->oldLength < 0) return fflush(file) == 0 && !ferror(file);
    const long length = ftell(file);
    if (length < 0) return false;
    for (long long at = length; at < save->oldLength; ++at) fputc('\n', file);
    if (fflush(file) != 0 || ferror(file)) return false;
    const int fd = fileno(file);
    return fsync(fd) == 0 && ftruncate(fd, length) == 0 && fsync(fd) == 0;
}

int finishSave(SaveStream* save) {
    const bool inPlace = save->temporary[0] == '\0';
    // A short write leaves the stream's error mark even when the flush itself succeeds.
    bool written = inPlace ? padCutAndSync(save)
                           : fflush(save->file) == 0 && !ferror(save->file) && fsync(fileno(save->file)) == 0;
    written = (fclose(save->file) == 0) && written;
    save->file = nullptr;
    int result = written ? 0 : -1;
    if (!inPlace) {
        result = written && renameat(save->folder, save->temporary, save->folder, save->target) == 0 ? 0 : -1;
        if (result == 0)
            syncFolder(save->folder);
        else
            unlinkat(save->folder, save->temporary, 0);
    }
    close(save->folder);
    save->folder = -1;
    return result;
}

// Ours: the file's name, the mark, six random letters or digits.
static bool isTemporaryOf(const char* entry, const char* name) {
    const size_t nameLength = strlen(name), markLength = strlen(TEMPORARY_MARK);
    if (strncmp(entry, name, nameLength) != 0 || strncmp(entry + nameLength, TEMPORARY_MARK, markLength) != 0)
        return false;
    const char* random = entry + nameLength + markLength;
    return strlen(random) == RANDOM_LENGTH && strspn(random, RANDOM_LETTERS) == RANDOM_LENGTH;
}

// A save takes milliseconds; one older than this was cut short by a kill or a power cut.
static const time_t STALE_AFTER_SECONDS = 60;

void removeStaleTemporaries(const char* gamePath) {
    char name[NAME_MAX + 1];
    const int folder = openFolderOf(gamePath, name, sizeof name);
    if (folder < 0) return;
    const int listed = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(folder);
    DIR* dir = listed >= 0 ? fdopendir(listed) : nullptr;
    if (dir == nullptr) {
        if (listed >= 0) close(listed);
        return;
    }
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

void removeSavedFile(const char* gamePath) {
    char name[NAME_MAX + 1];
    const int folder = openFolderOf(gamePath, name, sizeof name);
    if (folder < 0) return;
    struct stat status;
    if (fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)) unlinkat(folder, name, 0);
    close(folder);
}

// Another game that holds it longer than this is stuck; saving unlocked beats never ending.
static const int LONGEST_LOCK_WAIT_MS = 10000;

int lockSaveFolder(const char* gamePath) {
    char name[NAME_MAX + 1];
    const int folder = openFolderOf(gamePath, name, sizeof name);
    if (folder < 0) return -1;
    // The folder itself is the lock: it stays where it is while the files in it are replaced.
    const int fd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(folder);
    if (fd < 0) return -1;
    for (int waited = 0; waited < LONGEST_LOCK_WAIT_MS; waited += 10) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        usleep(10000);
    }
    close(fd);
    return -1;
}

void unlockSaveFolder(int lock) {
    if (lock >= 0) close(lock);  // closing lets the lock go
}

int sameSavedFile(const char* a, const char* b) {
    char nameA[NAME_MAX + 1], nameB[NAME_MAX + 1];
    const int folderA = openFolderOf(a, nameA, sizeof nameA);
    const int folderB = folderA >= 0 ? openFolderOf(b, nameB, sizeof nameB) : -1;
    int same = 0;
    struct stat fileA, fileB;
    if (folderB >= 0) {
        if (fstatat(folderA, nameA, &fileA, AT_SYMLINK_NOFOLLOW) == 0 &&
            fstatat(folderB, nameB, &fileB, AT_SYMLINK_NOFOLLOW) == 0)
            same = fileA.st_dev == fileB.st_dev && fileA.st_ino == fileB.st_ino;
        else if (fstat(folderA, &fileA) == 0 && fstat(folderB, &fileB) == 0)
            same = fileA.st_dev == fileB.st_dev && fileA.st_ino == fileB.st_ino && strcmp(nameA, nameB) == 0;
        close(folderB);
    }
    if (folderA >= 0) close(folderA);
    return same;
}
