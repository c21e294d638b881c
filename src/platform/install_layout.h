// How the program was installed: beside its data, or system-wide.
#pragma once

// Called once, before start-up, by a program built for a system-wide install: its data lives in
// `dataFolder`, relative to the program's own folder, and the player's files are kept only in
// the player's folders; the files in the data folder are starting values, never written.
void useSystemInstall(const char* dataFolder);

// The data folder given to useSystemInstall, or null for a program that keeps its data and
// the player's files beside itself.
const char* systemDataFolder();
