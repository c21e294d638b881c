#include "game/rules.h"

#include <cstdlib>

#include "audio/sound.h"
#include "game/random.h"
#include "game/state.h"

static const int BONUS_CHANCE = 20;
static const int HEART_CHANCE = 40;
static const int32_t LIFE_CAP = 16;
static const uint32_t HEART_POINTS_AT_CAP = 500;
static const uint32_t BONUS_POINTS = 300;

static bool isDeadly(const Tile& tile) { return tile.stage == STAGE_HOLE || tile.stage == STAGE_CRUMBLING; }

static void ageStandingTile(Tile& tile, const LevelParams& level) {
    tile.growth += (nextRandom() % level.randomRange) * level.growthStep;
    if (tile.growth > level.growthThreshold) {
        tile.growth = 0;
        tile.stage += 1;
        if (tile.stage > STAGE_CRUMBLING) tile.stage = STAGE_HOLE;
    }
}

// Places an item in the lowest free slot; with none free the roll is lost and not counted.
static void placeItem(ItemSlot* slots, int slotCount, int32_t& spawned, int x, int y) {
    for (int k = 0; k < slotCount; ++k) {
        if (slots[k].active) continue;
        slots[k] = {x, y, 1};
        spawned += 1;
        return;
    }
}

// A refilling hole always draws three numbers, whether or not an item comes with it.
static void refillHole(Tile& tile, int x, int y) {
    const int kind = nextRandom();
    const int roll = nextRandom();
    if (kind % 2 == 1) {
        if (roll % BONUS_CHANCE == 0 && game.bonusesSpawned < game.bonusLimit)
            placeItem(game.bonuses, BONUS_SLOTS, game.bonusesSpawned, x, y);
    } else if (roll % HEART_CHANCE == 0 && game.heartsSpawned < game.heartLimit) {
        placeItem(game.hearts, HEART_SLOTS, game.heartsSpawned, x, y);
    }
    tile.stage = 1;
}

// Rows bottom to top, x fastest: this order fixes which random number each tile gets.
static void ageBoard(const LevelParams& level) {
    // Kept: the time beyond the interval is dropped, so ageing follows the frame rate.
    game.tickAccumulator = 0;
    game.boardTicks += 1;
    for (int y = 0; y < BOARD_SIZE; ++y) {
        for (int x = 0; x < BOARD_SIZE; ++x) {
            Tile& tile = game.board[x][y];
            if (tile.stage != STAGE_HOLE) {
                ageStandingTile(tile, level);
            } else if (nextRandom() % level.reappearChance == 0) {
                refillHole(tile, x, y);
            }
        }
    }
    game.board[game.respawnX][game.respawnY].stage = 1;
}

static bool isUnderPlayer(const ItemSlot& item) { return item.x == game.playerX && item.y == game.playerY; }

// An item on a falling tile is gone before the player could pick it up.
static bool vanishesWithTile(ItemSlot& item) {
    if (isDeadly(game.board[item.x][item.y])) item.active = 0;
    return item.active == 0;
}

static void collectHeart() {
    if (game.lives > LIFE_CAP - 1) {
        game.score += HEART_POINTS_AT_CAP;
    } else {
        game.lives += 1;
        playEffect(EFFECT_HEART);
    }
}

// Kept: items are examined whether or not the player lives, so a Heart or Bonus that a
// refilling hole brings under a falling figure is still collected.
static void updateItems() {
    for (ItemSlot& heart : game.hearts) {
        if (!heart.active || vanishesWithTile(heart) || !isUnderPlayer(heart)) continue;
        collectHeart();
        heart.active = 0;
    }
    for (ItemSlot& bonus : game.bonuses) {
        if (!bonus.active || vanishesWithTile(bonus) || !isUnderPlayer(bonus)) continue;
        game.score += BONUS_POINTS;
        playEffect(EFFECT_BONUS);
        bonus.active = 0;
    }
}

static void checkDeath() {
    Tile& underPlayer = game.board[game.playerX][game.playerY];
    if (game.deathTimer != 0) {
        underPlayer.stage = STAGE_HOLE;  // the hole stays where the player fell
        return;
    }
    if (isDeadly(underPlayer)) {
        game.tickAccumulator = 0;
        game.deathTimer = 1;
        playEffect(EFFECT_DEATH);
    }
}

void updateRules() {
    const LevelParams& level = game.levelTable[game.world[game.sectorX][game.sectorY].level];
    if (game.score > SCORE_CEILING) game.score = SCORE_CEILING;
    if (game.deathTimer != 0) game.deathTimer += game.frameDelta;
    if (game.tickAccumulator > level.tickInterval) ageBoard(level);
    updateItems();
    checkDeath();
}

void raiseBestScore() {
    if (game.score > game.bestScore) game.bestScore = game.score;
}
