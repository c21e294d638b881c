// Following links only where no one else could have planted them (POSIX systems).
#pragma once

#include <sys/stat.h>

#include <cstddef>

// Walks to the folder that holds `path`'s file one name at a time, each folder opened from the
// one before, and returns that folder open (for the *at calls), with the file's name in `name`.
// Every link on the way, the file's own included, is followed only when it belongs to the player
// or to root, the kernel's rule for shared sticky folders applied to every link; ".." goes up
// from the folder reached, never by cutting text. Returns -1 when a link belongs to someone
// else, the links loop, a folder on the way is missing or the name does not fit: the game then
// treats the file as one it may not use. Once open, the folder stays the one checked, whatever
// is renamed or linked in its place later.
int openTrustedFolder(const char* path, char* name, size_t nameSize);

// Opens `name` in `folder` with `flags`, never through a link and never waiting for the other
// end of a pipe, and keeps it only when it is a regular file or a device such as /dev/null.
// Returns the descriptor, with the file's status in `status`, or -1 with errno set: ENOENT
// when there is no such file.
int openPlainFileAt(int folder, const char* name, int flags, struct stat* status);
