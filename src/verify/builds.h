// The builds of the game a replay can come from, told apart by their C library: each one's
// rand() and srand(), and what else that build does differently. The verifier's link sends
// the game's calls to rand and srand here, to the build chosen.
#pragma once

#include <cstdint>

enum Build { BUILD_LINUX, BUILD_WINDOWS, BUILD_WEB, BUILD_COUNT };

// Its C library as the verifier names it: "glibc", "msvcrt" or "emscripten".
const char* buildLibraryName(Build build);

// From now on the game's rand() and srand() are this build's.
void useBuild(Build build);

// The build in use: its srand and rand, called directly.
void buildSrand(unsigned seed);
int buildRand();

// The longest time one pass of the rules may see in this build; 0: a whole frame.
uint32_t buildRuleSliceMs();

// Whether a quit request ends this build's program; a web page cannot end itself.
bool buildEndsOnQuit();
