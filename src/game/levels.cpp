#include "game/levels.h"

#include "game/state.h"

void addLevel(int32_t tickInterval, int32_t randomRange, int32_t growthStep, int32_t growthThreshold,
              int32_t reappearChance) {
    game.levelTable[game.levelCount] = {tickInterval, randomRange, growthStep, growthThreshold, reappearChance};
    ++game.levelCount;
}

void initLevelTable() {
    addLevel(20, 5, 5, 400, 100);
    addLevel(20, 5, 5, 300, 90);
    addLevel(20, 5, 5, 220, 80);
    addLevel(20, 50, 2, 1000, 90);
    addLevel(20, 5, 5, 150, 90);
    addLevel(20, 10, 1, 100, 150);
    addLevel(20, 80, 1, 500, 50);
    addLevel(20, 5, 5, 100, 50);
    addLevel(20, 5, 5, 100, 65);
    addLevel(20, 5, 5, 80, 50);
    addLevel(20, 5, 5, 60, 1);  // every hole refills at every tick
}

void setValuesOfLevel(int level) {
    game.heartLimit = level;
    game.bonusLimit = static_cast<int32_t>(level * 1.5f);
    game.sectorScore = level * 20;
    game.stepScore = level * 2;
}

void setLevelValues() { setValuesOfLevel(game.world[game.sectorX][game.sectorY].level); }
