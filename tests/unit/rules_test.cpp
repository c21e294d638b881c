// The rule step: ageing, refilling, items and death, with the random draws replayed exactly.
#include "game/rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/sound.h"
#include "fakes.h"
#include "game/levels.h"
#include "game/state.h"

namespace {

void fillStages(int stage) {
    for (auto& column : game.board)
        for (Tile& tile : column) tile = {stage, 0};
}

void setAllLevels(int level) {
    for (auto& column : game.world)
        for (SectorInfo& sector : column) sector.level = static_cast<uint8_t>(level);
}

struct RulesTest : ::testing::Test {
    void SetUp() override {
        resetForTest();
        game.lives = 4;
        game.playerX = 2;
        game.playerY = 2;
        game.respawnX = 4;
        game.respawnY = 4;
        setAllLevels(0);
    }
    void tick() {
        game.tickAccumulator = 21;  // level interval is 20
        updateRules();
    }
};

TEST_F(RulesTest, TickAgesEveryStandingTileWithOneDrawEach) {
    fillStages(1);
    srand(7);
    tick();
    srand(7);
    for (int y = 0; y < BOARD_SIZE; ++y)
        for (int x = 0; x < BOARD_SIZE; ++x) EXPECT_EQ(game.board[x][y].growth, (rand() % 5) * 5) << x << "," << y;
    const int next = rand();
    srand(7);
    for (int i = 0; i < 36; ++i) rand();
    EXPECT_EQ(rand(), next);  // exactly 36 numbers drawn
    EXPECT_EQ(game.tickAccumulator, 0);
}

TEST_F(RulesTest, RefillingHoleDrawsThreeNumbersAndStandsAtStageOne) {
    setAllLevels(10);  // every hole refills
    fillStages(STAGE_HOLE);
    game.deathTimer = 5;  // dead: no new death, the player's tile stays a hole
    srand(11);
    tick();
    const int next = rand();
    srand(11);
    for (int i = 0; i < 36 * 3; ++i) rand();
    EXPECT_EQ(rand(), next);
    EXPECT_EQ(game.board[0][0].stage, 1);
    EXPECT_EQ(game.board[game.playerX][game.playerY].stage, STAGE_HOLE);
}

TEST_F(RulesTest, TickNeedsMoreThanTheIntervalAndDropsTheRest) {
    fillStages(5);
    game.tickAccumulator = 20;
    updateRules();
    EXPECT_EQ(game.tickAccumulator, 20);
    EXPECT_EQ(game.board[0][0].stage, 5);
    EXPECT_EQ(game.board[4][4].stage, 5);  // no tick, so the respawn tile is left alone

    game.tickAccumulator = 100;  // a long frame still gives a single tick
    srand(3);
    updateRules();
    EXPECT_EQ(game.tickAccumulator, 0);
    EXPECT_EQ(game.board[4][4].stage, 1);
}

TEST_F(RulesTest, CrumblingTileBecomesHoleAndStageElevenKills) {
    setAllLevels(9);  // threshold 80, step 5 x (0..4): growth 79 passes with any non-zero draw
    fillStages(1);
    game.board[0][0] = {STAGE_CRUMBLING, 80};
    game.board[game.playerX][game.playerY] = {10, 81};
    srand(1);
    ASSERT_NE(rand() % 5, 0);  // the first tile's draw adds growth
    srand(1);
    tick();
    EXPECT_EQ(game.board[0][0].stage, STAGE_HOLE);
    EXPECT_EQ(game.board[0][0].growth, 0);
    EXPECT_EQ(game.board[game.playerX][game.playerY].stage, STAGE_CRUMBLING);
    EXPECT_EQ(game.deathTimer, 1);
    EXPECT_EQ(game.tickAccumulator, 0);
    ASSERT_EQ(fake.effects.size(), 1u);
    EXPECT_EQ(fake.effects[0], EFFECT_DEATH);
}

TEST_F(RulesTest, DeathTimerGrowsAndKeepsTheHoleUnderTheDeadPlayer) {
    fillStages(3);
    game.deathTimer = 1;
    game.frameDelta = 40;
    updateRules();
    EXPECT_EQ(game.deathTimer, 41);
    EXPECT_EQ(game.board[2][2].stage, STAGE_HOLE);
    EXPECT_TRUE(fake.effects.empty());
}

TEST_F(RulesTest, HeartAddsLifeUpToSixteenThenPoints) {
    fillStages(3);
    game.hearts[0] = {2, 2, 1};
    game.lives = 15;
    updateRules();
    EXPECT_EQ(game.lives, 16);
    EXPECT_EQ(game.hearts[0].active, 0);
    ASSERT_EQ(fake.effects.size(), 1u);
    EXPECT_EQ(fake.effects[0], EFFECT_HEART);

    game.hearts[1] = {2, 2, 1};
    updateRules();
    EXPECT_EQ(game.lives, 16);
    EXPECT_EQ(game.score, 500u);
    EXPECT_EQ(fake.effects.size(), 1u);  // no sound at the cap
}

TEST_F(RulesTest, HeartUnderTheFallingPlayerIsStillCollected) {
    fillStages(3);
    game.deathTimer = 200;
    game.hearts[0] = {2, 2, 1};
    updateRules();
    EXPECT_EQ(game.lives, 5);
    EXPECT_EQ(game.hearts[0].active, 0);
    EXPECT_EQ(game.board[2][2].stage, STAGE_HOLE);  // and the hole opens again under the figure
}

TEST_F(RulesTest, ItemsVanishWithTheirTileBeforePickUp) {
    fillStages(3);
    game.board[2][2].stage = STAGE_CRUMBLING;
    game.bonuses[1] = {2, 2, 1};
    game.hearts[0] = {3, 3, 1};
    game.board[3][3].stage = STAGE_HOLE;
    game.bonuses[2] = {1, 1, 1};
    updateRules();
    EXPECT_EQ(game.bonuses[1].active, 0);
    EXPECT_EQ(game.hearts[0].active, 0);
    EXPECT_EQ(game.bonuses[2].active, 1);
    EXPECT_EQ(game.score, 0u);
}

TEST_F(RulesTest, BonusPaysAndScoreIsCutBackOnlyAtTheNextStep) {
    fillStages(3);
    game.score = SCORE_CEILING - 100;
    game.bonuses[0] = {2, 2, 1};
    updateRules();
    EXPECT_EQ(game.score, SCORE_CEILING + 200);
    EXPECT_EQ(fake.effects.back(), EFFECT_BONUS);
    updateRules();
    EXPECT_EQ(game.score, SCORE_CEILING);
}

// The Board ages and the sector's values are set by the level of the sector the player is in,
// (1, 6), not that of the sector with the coordinates swapped, (6, 1).
TEST_F(RulesTest, TheCurrentSectorsLevelRulesNotItsMirror) {
    auto playAt = [](int here, int mirror) {
        resetForTest();
        setAllLevels(here);
        game.world[6][1].level = static_cast<uint8_t>(mirror);
        game.sectorX = 1;
        game.sectorY = 6;
        game.lives = 4;
        game.playerX = game.playerY = 2;
        setLevelValues();
        fillStages(1);
        srand(5);
        for (int i = 0; i < 40; ++i) {
            game.tickAccumulator = 1000;
            updateRules();
        }
        std::vector<int> seen = {game.stepScore, game.sectorScore, game.deathTimer};
        for (auto& column : game.board)
            for (Tile& tile : column) seen.insert(seen.end(), {tile.stage, tile.growth});
        return seen;
    };
    EXPECT_EQ(playAt(10, 0), playAt(10, 10));
    EXPECT_EQ(playAt(0, 10), playAt(0, 0));
    EXPECT_NE(playAt(10, 10), playAt(0, 0));  // the levels do play differently
}

// Items that came in a Sector visit count against its limits whether or not they are still on
// the Board; a roll that finds every slot taken is lost and does not count.
TEST_F(RulesTest, SpawnsStopAtTheSectorVisitLimits) {
    for (const int hearts : {1, 2, 10}) {
        const int bonuses = hearts == 1 ? 1 : hearts == 2 ? 3 : 15;
        SCOPED_TRACE(hearts);
        SetUp();
        setAllLevels(10);
        game.heartLimit = hearts;
        game.bonusLimit = bonuses;
        int placedHearts = 0, placedBonuses = 0;
        for (int seed = 0; seed < 300; ++seed) {
            fillStages(STAGE_HOLE);
            game.board[game.playerX][game.playerY].stage = 3;
            srand(seed);
            tick();
            ASSERT_LE(game.heartsSpawned, hearts);
            ASSERT_LE(game.bonusesSpawned, bonuses);
            if (seed % 20 != 19 && seed != 299) continue;  // meanwhile rolls find the slots taken
            // Picked up: the slots are free again.
            for (ItemSlot& heart : game.hearts) placedHearts += heart.active, heart.active = 0;
            for (ItemSlot& bonus : game.bonuses) placedBonuses += bonus.active, bonus.active = 0;
        }
        EXPECT_EQ(std::vector<int>({game.heartsSpawned, placedHearts, game.bonusesSpawned, placedBonuses}),
                  std::vector<int>({hearts, hearts, bonuses, bonuses}));
    }
}

// Each level's row of the level table: the refill chance of a hole (its first draw divides by
// the chance; a refill draws two more), and the values a sector of that level sets.
TEST_F(RulesTest, EachLevelRefillsAtItsChanceAndSetsItsValues) {
    const struct {
        int chance, heartLimit, bonusLimit, sectorScore, stepScore;
    } levels[LEVEL_ROWS] = {{100, 0, 0, 0, 0},    {90, 1, 1, 20, 2},    {80, 2, 3, 40, 4},   {90, 3, 4, 60, 6},
                            {90, 4, 6, 80, 8},    {150, 5, 7, 100, 10}, {50, 6, 9, 120, 12}, {50, 7, 10, 140, 14},
                            {65, 8, 12, 160, 16}, {50, 9, 13, 180, 18}, {1, 10, 15, 200, 20}};
    game.deathTimer = 5;  // dead: no new death while the Board is all holes
    for (int level = 0; level < LEVEL_ROWS; ++level) {
        SCOPED_TRACE(level);
        const auto& row = levels[level];
        setAllLevels(level);
        setLevelValues();
        EXPECT_EQ(std::vector<int>({game.heartLimit, game.bonusLimit, game.sectorScore, game.stepScore}),
                  std::vector<int>({row.heartLimit, row.bonusLimit, row.sectorScore, row.stepScore}));
        for (unsigned seed = 0; seed < 20; ++seed) {
            fillStages(STAGE_HOLE);
            srand(seed);
            tick();
            srand(seed);
            for (int y = 0; y < BOARD_SIZE; ++y) {
                for (int x = 0; x < BOARD_SIZE; ++x) {
                    const bool refills = rand() % row.chance == 0;
                    if (refills) rand(), rand();
                    const bool kept = (x == game.respawnX && y == game.respawnY) || (x == 2 && y == 2);
                    if (!kept) {
                        ASSERT_EQ(game.board[x][y].stage, refills ? 1 : STAGE_HOLE) << x << "," << y;
                    }
                }
            }
        }
    }
}

}  // namespace
