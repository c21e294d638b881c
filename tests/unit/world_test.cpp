// The World file: walls by pairs, levels by fields, and the files it must refuse.
#include "game/world.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "fakes.h"
#include "game/sector.h"
#include "game/state.h"
#include "temp_folder.h"

namespace {

std::string wallLines(const std::string& row0) {
    std::string text = row0 + "\n";
    for (int i = 1; i < 8; ++i) text += "0000000000000000\n";
    return text;
}

std::string levelLines(const std::string& row0 = "1;2;3;4;5;6;7;8;") {
    std::string text = row0 + "\n";
    for (int i = 1; i < 8; ++i) text += "0;0;0;0;0;0;0;10;\n";
    return text;
}

struct WorldTest : TempFolderTest {
    void SetUp() override {
        TempFolderTest::SetUp();
        resetForTest();
    }
    void write(const std::string& text) { std::ofstream("data/world.txt", std::ios::binary) << text; }
};

const char* const MAP_ERROR = "^chyba pri nacitani mapy: data\\\\world\\.txt\n\n$";

TEST_F(WorldTest, ReadsWallPairsBottomRowFirstAndLevels) {
    write("# walls\n\n" + wallLines("1001000000000011") + "\n# levels\r\n" + levelLines(" 9;2x;;4;5;6;7;8; tail"));
    loadWorld("data\\world.txt");
    EXPECT_EQ(game.world[0][0].wallLeft, 1);
    EXPECT_EQ(game.world[0][0].wallBottom, 0);
    EXPECT_EQ(game.world[1][0].wallLeft, 0);
    EXPECT_EQ(game.world[1][0].wallBottom, 1);
    EXPECT_EQ(game.world[7][0].wallLeft, 1);
    EXPECT_EQ(game.world[7][0].wallBottom, 1);
    EXPECT_EQ(game.world[0][1].wallLeft, 0);
    EXPECT_EQ(game.world[0][0].level, 9);  // blanks before the digits
    EXPECT_EQ(game.world[1][0].level, 2);  // text after the digits
    EXPECT_EQ(game.world[2][0].level, 0);  // no digits at all
    EXPECT_EQ(game.world[7][7].level, 10);
}

TEST_F(WorldTest, LastLineWithoutLineEndLoads) {
    std::string text = wallLines("0000000000000000") + levelLines();
    text.pop_back();
    write(text);
    loadWorld("data\\world.txt");
    EXPECT_EQ(game.world[7][7].level, 10);
}

// A short line after a long one: nothing of the long line is left over in the short one.
TEST_F(WorldTest, ShortWallLineAfterALongOneKeepsNothingOfIt) {
    std::string walls = "1111111111111111\n11\n";
    for (int i = 2; i < 8; ++i) walls += "0000000000000000\n";
    write(walls + levelLines());
    loadWorld("data\\world.txt");
    EXPECT_EQ(game.world[7][0].wallLeft, 1);
    EXPECT_EQ(game.world[0][1].wallLeft, 1);
    for (int x = 1; x < 8; ++x) {
        EXPECT_EQ(game.world[x][1].wallLeft, 0) << x;
        EXPECT_EQ(game.world[x][1].wallBottom, 0) << x;
    }
}

TEST_F(WorldTest, MissingFileEndsWithOpenError) {
    EXPECT_EXIT(loadWorld("data\\world.txt"), ::testing::ExitedWithCode(1),
                "^ERROR opening file data\\\\world\\.txt\n\n$");
}

// A missing last line, levels outside the table and a short level line.
TEST_F(WorldTest, RefusesMissingLinesLevelsOutsideTheTableAndShortLevelLines) {
    const std::string levels = levelLines();
    for (const std::string& text :
         {levels.substr(0, levels.rfind("0;0;")) + "\n# end\n", levelLines("1;2;3;4;5;6;7;11;"),
          levelLines("1;2;3;4;5;6;7;-1;"), levelLines("1;2;3;4;5;6;7;300;"), levelLines("1;2;3;4;5;6;7;8")}) {
        write(wallLines("0000000000000000") + text);
        EXPECT_EXIT(loadWorld("data\\world.txt"), ::testing::ExitedWithCode(1), MAP_ERROR) << text;
    }
}

TEST_F(WorldTest, OverlongLinesAreCut) {
    write(wallLines("1" + std::string(1000, '1')) + levelLines("1;1;1;1;1;1;1;1;" + std::string(1000, ';')));
    loadWorld("data\\world.txt");
    EXPECT_EQ(game.world[7][0].wallBottom, 1);
    EXPECT_EQ(game.world[0][1].wallLeft, 0);  // the rest of the long line did not become row 1
}

}  // namespace

namespace {

// Every start corner must reach the goal sector through open edges.
int sectorsReachableFrom(int startX, int startY, bool* reachesGoal) {
    bool seen[WORLD_SIZE][WORLD_SIZE] = {};
    int queueX[64], queueY[64], head = 0, tail = 0;
    queueX[tail] = startX;
    queueY[tail++] = startY;
    seen[startX][startY] = true;
    while (head < tail) {
        game.sectorX = static_cast<uint8_t>(queueX[head]);
        game.sectorY = static_cast<uint8_t>(queueY[head++]);
        for (int direction = 0; direction < 4; ++direction) {
            if (!crossingAllowed(direction)) continue;
            const int x = game.sectorX + (direction == DIR_RIGHT) - (direction == DIR_LEFT);
            const int y = game.sectorY + (direction == DIR_UP) - (direction == DIR_DOWN);
            if (seen[x][y]) continue;
            seen[x][y] = true;
            queueX[tail] = x;
            queueY[tail++] = y;
        }
    }
    *reachesGoal = seen[0][0];
    return tail;
}

TEST(ShippedWorld, EveryStartCornerHasARouteToTheGoal) {
    resetForTest();
    loadWorld(ZK_DATA_DIR "/world.txt");
    for (auto start : {std::pair<int, int>{0, 7}, {7, 7}, {7, 0}}) {
        bool reachesGoal = false;
        EXPECT_EQ(sectorsReachableFrom(start.first, start.second, &reachesGoal), 64);
        EXPECT_TRUE(reachesGoal);
    }
    // Levels rise toward the goal: the goal sector is the fiercest, the far corner calm.
    EXPECT_EQ(game.world[0][0].level, 10);
    EXPECT_LE(game.world[7][7].level, 3);
}

}  // namespace
