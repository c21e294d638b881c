// Following links only where no one else could have planted them (POSIX systems).
#pragma once

#include <sys/stat.h>

#include <cstddef>

// Follows every link on the way to `path`, the folders' as well as the file's own, and writes
// the path with no links left into `real`. A link is followed only when it belongs to the
// player or to root, the kernel's rule for shared sticky folders applied to every link.
// Returns 0 when a link belongs to someone else, the links loop or the path does not fit: the
// game then treats the file as one it may not use.
int followTrustedLinks(const char* path, char* real, size_t size);

// Opens `real` (a path from followTrustedLinks) with `flags`, never through a link at its
// last step and never waiting for the other end of a pipe, and keeps it only when it is a
// regular file or a device such as /dev/null. Returns the descriptor, with the file's status
// in `status`, or -1 with errno set: ENOENT when there is no such file.
int openPlainFile(const char* real, int flags, struct stat* status);
