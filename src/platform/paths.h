// The game's file names in the host's spelling.
#pragma once

// A path in the host's own spelling. The game writes "data\world.txt"; POSIX hosts need '/'.
struct NativePath {
    char text[4096];
};

// Turns the game's file name into the host's; names too long are cut, never overrun.
NativePath nativePath(const char* gamePath);

// Index of the separator that ends the program's directory in a program path, or -1 when the
// directory stays as it is: no '/' or '\' at all, or the only one is the first character.
int programDirectoryEnd(const char* programPath);

// The last part of a path: what follows its last '/' or '\'.
const char* fileNameOf(const char* path);
