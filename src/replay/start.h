// The start of every recordable session, in the one order a replay depends on: the settings a
// replay brings, the level table, the devices, the World, the graphics, then the seed and the
// session. The
// game, the verifier, the benchmarks and the tests all start here: a copy that drifted would
// make replays go out of step without an error.
#pragma once

#include <cstdint>

struct SessionStart {
    void (*startDevices)();   // SDL and sound: a World file that fails is reported through them
    const char* worldFile;    // nullptr: the World already in place; a replay's replaces it
    void (*setUpGraphics)();  // the window and its drawing, or what stands in for them: it reads the clock
    uint32_t (*readClock)();  // read after the graphics: a live session's seed
};

void startRecordableSession(const SessionStart& start);
