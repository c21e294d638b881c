#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/trusted_links.h"

static bool trustedOwner(const struct stat& link) { return link.st_uid == geteuid() || link.st_uid == 0; }

// The path walked so far: relative to the working folder, or absolute when it begins with '/'.
struct Walked {
    char* text;
    size_t size;
    size_t length;
};

static bool append(Walked* walked, const char* part, size_t partLength) {
    const bool slash = walked->length > 0 && walked->text[walked->length - 1] != '/';
    if (walked->length + slash + partLength >= walked->size) return false;
    if (slash) walked->text[walked->length++] = '/';
    memcpy(walked->text + walked->length, part, partLength);
    walked->length += partLength;
    walked->text[walked->length] = '\0';
    return true;
}

// One folder up. The walked part holds no links, so dropping its last name is the real parent;
// a relative path that is empty or already climbing keeps climbing.
static bool climb(Walked* walked) {
    char* last = strrchr(walked->text, '/');
    const char* name = last == nullptr ? walked->text : last + 1;
    if (walked->length == 0 || strcmp(name, "..") == 0) return append(walked, "..", 2);
    if (strcmp(walked->text, "/") == 0) return true;
    walked->length = last == nullptr ? 0 : (last == walked->text ? 1 : static_cast<size_t>(last - walked->text));
    walked->text[walked->length] = '\0';
    return true;
}

// Puts the link's target in front of what is still to walk.
static bool spliceLink(const char* link, char* rest, const char* next) {
    char target[PATH_MAX];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length < 0) return false;
    target[length] = '\0';
    char joined[PATH_MAX];
    if (snprintf(joined, sizeof joined, "%s/%s", target, next) >= static_cast<int>(sizeof joined)) return false;
    memcpy(rest, joined, strlen(joined) + 1);
    return true;
}

int followTrustedLinks(const char* path, char* real, size_t size) {
    char rest[PATH_MAX];
    if (size == 0 || snprintf(rest, sizeof rest, "%s", path) >= static_cast<int>(sizeof rest)) return 0;
    Walked walked{real, size, 0};
    real[0] = '\0';
    if (rest[0] == '/' && !append(&walked, "/", 1)) return 0;
    bool missing = false;  // below a missing folder there is nothing to look at
    int links = 0;
    const char* next = rest;
    while (*next != '\0') {
        while (*next == '/') ++next;
        const char* end = strchrnul(next, '/');
        const size_t nameLength = static_cast<size_t>(end - next);
        const char* name = next;
        next = end;
        if (nameLength == 0 || (nameLength == 1 && name[0] == '.')) continue;
        if (nameLength == 2 && name[0] == '.' && name[1] == '.') {
            if (!climb(&walked)) return 0;
            continue;
        }
        const size_t before = walked.length;
        if (!append(&walked, name, nameLength)) return 0;
        struct stat status;
        if (missing) continue;
        if (lstat(real, &status) != 0) {
            if (errno != ENOENT) return 0;
            missing = true;
            continue;
        }
        if (!S_ISLNK(status.st_mode)) continue;
        if (!trustedOwner(status) || ++links > 40) return 0;
        char following[PATH_MAX];
        memcpy(following, next, strlen(next) + 1);
        if (!spliceLink(real, rest, following)) return 0;
        next = rest;
        walked.length = rest[0] == '/' ? 0 : before;
        real[walked.length] = '\0';
        if (rest[0] == '/' && !append(&walked, "/", 1)) return 0;
    }
    if (walked.length == 0) return append(&walked, ".", 1);
    return 1;
}

int openPlainFile(const char* real, int flags, struct stat* status) {
    const int fd = open(real, flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, status) == 0 && (S_ISREG(status->st_mode) || S_ISCHR(status->st_mode))) return fd;
    // Pipes, sockets and folders are not the game's files.
    close(fd);
    errno = EINVAL;
    return -1;
}
