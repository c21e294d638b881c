#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/trusted_links.h"

static bool trustedOwner(const struct stat& link) { return link.st_uid == geteuid() || link.st_uid == 0; }

static int openFolder(int at, const char* name) {
    const int fd = openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status;
    if (fd >= 0 && (fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode))) {
        close(fd);
        errno = ENOTDIR;
        return -1;
    }
    return fd;
}

// The target of `name` in `folder` when it is a link the player may follow: read from the link
// that was checked, so swapping it meanwhile gains nothing. 1: a link, read; 0: no link; -1:
// a link of someone else, or unreadable.
static int trustedLinkTarget(int folder, const char* name, char* target, size_t size) {
    const int link = openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (link < 0) return 0;
    struct stat status;
    int result = 0;
    if (fstat(link, &status) != 0) {
        result = -1;
    } else if (S_ISLNK(status.st_mode)) {
        const ssize_t length = trustedOwner(status) ? readlinkat(link, "", target, size - 1) : -1;
        result = length < 0 ? -1 : 1;
        if (length >= 0) target[length] = '\0';
    }
    close(link);
    return result;
}

static void replaceFolder(int* folder, int with) {
    close(*folder);
    *folder = with;
}

int openTrustedFolder(const char* path, char* name, size_t nameSize) {
    char rest[PATH_MAX];
    if (snprintf(rest, sizeof rest, "%s", path) >= static_cast<int>(sizeof rest)) return -1;
    int folder = openFolder(AT_FDCWD, rest[0] == '/' ? "/" : ".");
    int links = 0;
    const char* next = rest;
    while (folder >= 0) {
        while (*next == '/') ++next;
        const char* end = strchrnul(next, '/');
        const size_t length = static_cast<size_t>(end - next);
        const char* after = end;
        while (*after == '/') ++after;
        const bool last = *after == '\0';
        char part[NAME_MAX + 1];
        if (length == 0 || length > NAME_MAX) break;  // no file name, or one too long
        memcpy(part, next, length);
        part[length] = '\0';
        next = after;
        const bool dots = strcmp(part, ".") == 0 || strcmp(part, "..") == 0;
        if (last && dots) break;
        char target[PATH_MAX];
        const int linked = trustedLinkTarget(folder, part, target, sizeof target);
        if (linked < 0 || (linked > 0 && ++links > 40)) break;
        if (linked > 0) {
            // The link's target takes its place in what is left to walk.
            char joined[PATH_MAX];
            if (snprintf(joined, sizeof joined, "%s/%s", target, next) >= static_cast<int>(sizeof joined)) break;
            memcpy(rest, joined, strlen(joined) + 1);
            next = rest;
            if (rest[0] == '/') replaceFolder(&folder, openFolder(AT_FDCWD, "/"));
            continue;
        }
        if (last) {
            if (length >= nameSize) break;
            memcpy(name, part, length + 1);
            return folder;
        }
        if (strcmp(part, ".") != 0) replaceFolder(&folder, openFolder(folder, part));
    }
    if (folder < 0) return -1;  // errno from the folder that could not be opened
    close(folder);
    errno = EACCES;  // a link of someone else, a loop, or a name that does not fit
    return -1;
}

int openPlainFileAt(int folder, const char* name, int flags, struct stat* status) {
    const int fd = openat(folder, name, flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, status) == 0 && (S_ISREG(status->st_mode) || S_ISCHR(status->st_mode))) return fd;
    // Pipes, sockets and folders are not the game's files.
    close(fd);
    errno = EINVAL;
    return -1;
}
