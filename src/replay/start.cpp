#include "replay/start.h"

#include "game/levels.h"
#include "game/random.h"
#include "game/state.h"
#include "game/world.h"
#include "replay/session.h"

void startRecordableSession(const SessionStart& start) {
    applyReplaySettings();
    setLayoutConstants();
    initLevelTable();
    if (start.startDevices != nullptr) start.startDevices();
    if (start.worldFile != nullptr) loadWorld(start.worldFile);
    placeReplayWorld();
    if (start.setUpGraphics != nullptr) start.setUpGraphics();
    seedRandom(startSession(start.readClock != nullptr ? start.readClock() : 0));
}
