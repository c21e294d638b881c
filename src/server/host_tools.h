// What a host runs by hand on a board: zembrak-scores remove, restore, reverify and backup,
// each followed by the server's own options for the database and the verifier.
#pragma once

namespace scores {

// Whether `word`, the first argument, names one of the tools.
bool isHostTool(const char* word);

// Runs the tool argv[1] names: its exit status.
int runHostTool(int argc, char** argv);

}  // namespace scores
