// The configuration and best-score files: reading by position, writing byte for byte.
#include "persist/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fakes.h"
#include "game/rules.h"
#include "game/state.h"
#include "persist/best_score.h"
#include "persist/line_reader.h"
#include "temp_folder.h"

namespace {

// Each test works in a folder of its own with a data/ below it, as the game does.
struct SettingsTest : TempFolderTest {
    void SetUp() override {
        TempFolderTest::SetUp();
        resetForTest();
    }
    std::string captureLoad() {
        testing::internal::CaptureStdout();
        loadSettings("config.txt", game, &game.bestScore);
        fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
};

const char* const STANDARD_CONFIG =
    "# soubor nastaveni (defaultni hodnoty)\n\n# rozliseni sirka (800)\nSCREEN_WIDTH: 800\n\n"
    "# rozliseni vyska (600)\nSCREEN_HEIGHT: 600\n\n# barevna hloubka v bitech (32)\nBPP: 32\n\n"
    "# 1 - fullscren, 0 - okno (1)\nFULLSCREEN: 1\n\n"
    "# 0 - zvuky vypnute, 128 - maximalni hlasitost zvuku (128)\nSOUNDS: 128\n\n"
    "# 0 - hudba vypnuta, 128 - maximalni hlasitost hudby (100)\nMUSIC: 100";

TEST_F(SettingsTest, FirstRunPrintsBothMessagesAndWritesStandardFiles) {
    EXPECT_EQ(captureLoad(), "Could not load hiscore from data\\hiscore.txtCould not load config from config.txt");
    EXPECT_EQ(game.screenWidth, 800);
    EXPECT_EQ(game.musicVolume, 100);
    game.bestScore = 1234;
    saveSettings("config.txt", game, game.bestScore);
    EXPECT_EQ(readFile("config.txt"), STANDARD_CONFIG);
    EXPECT_EQ(readFile("data/hiscore.txt"), "1234");
}

// Keys are matched by position with their exact pattern: a misplaced or misspelt line keeps
// its default, a short file sets what it has, a long line is cut without overrun.
TEST_F(SettingsTest, ConfigurationsAreReadByPosition) {
    const struct {
        const char* name;
        std::string text;
        std::vector<int32_t> six;
    } rows[] = {
        // No range check: an absurd volume is written back as it is.
        {"exact",
         "# comment\r\n\r\nSCREEN_WIDTH:1024\nSCREEN_HEIGHT: 768 pixels\n#BPP: 16\nBPP:   -16\n"
         "FULLSCREEN: 0\nSOUNDS: 300\nMUSIC: 0\nextra: 5\n",
         {1024, 768, -16, 0, 300, 0}},
        // Height before width; lower case; a leading blank; a line of blanks swallowing a key.
        {"misplaced",
         "SCREEN_HEIGHT: 700\nSCREEN_WIDTH: 900\nbpp: 16\n FULLSCREEN: 0\n   \nSOUNDS: 5\nMUSIC: 7\n",
         {800, 600, 32, 1, 128, 100}},
        {"short", "SCREEN_WIDTH: 640\nSCREEN_HEIGHT: 480\nBPP: 16", {640, 480, 16, 1, 128, 100}},
        {"long line",
         "SCREEN_WIDTH: 1280" + std::string(5000, 'x') + "\nSCREEN_HEIGHT: 720\n",
         {1280, 720, 32, 1, 128, 100}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        resetForTest();
        writeFile("config.txt", row.text);
        captureLoad();
        EXPECT_EQ(std::vector<int32_t>({game.screenWidth, game.screenHeight, game.bitsPerPixel, game.fullscreen,
                                        game.soundVolume, game.musicVolume}),
                  row.six);
    }
}

TEST_F(SettingsTest, BestScoreSkipsCommentsAndKeepsNegativeNumbers) {
    writeFile("data/hiscore.txt", "# best\n\n   1500 points\n");
    writeFile("config.txt", "");
    EXPECT_EQ(captureLoad(), "");
    EXPECT_EQ(game.bestScore, 1500u);

    writeFile("data/hiscore.txt", "-5");
    resetForTest();
    captureLoad();
    EXPECT_EQ(game.bestScore, static_cast<uint32_t>(-5));
    game.score = 99999999;
    raiseBestScore();  // unsigned: -5 stays above any reachable score
    saveSettings("config.txt", game, game.bestScore);
    EXPECT_EQ(readFile("data/hiscore.txt"), "-5");
}

TEST_F(SettingsTest, TextWithoutNumberLeavesZero) {
    writeFile("data/hiscore.txt", "# only a comment\nabc\n");
    captureLoad();
    EXPECT_EQ(game.bestScore, 0u);
}

TEST_F(SettingsTest, FolderInPlaceOfAFileReadsAsEmptyInsteadOfHanging) {
    mkdir("config.txt", 0755);
    mkdir("data/hiscore.txt", 0755);
    captureLoad();  // a read error used to keep the comment-skipping loop going for ever
    EXPECT_EQ(game.bestScore, 0u);
    EXPECT_EQ(game.screenWidth, 800);
}

// Numbers beyond 32 bits saturate either way instead of wrapping round; a sign alone or text
// is no number.
TEST(LineReader, NumbersSaturateAndNeedADigit) {
    const struct {
        const char* text;
        int matched;
        int32_t value;
    } rows[] = {
        {"12", 1, 12},
        {"  -7 lives", 1, -7},
        {"+3", 1, 3},
        {"2147483648", 1, 2147483647},
        {"99999999999", 1, 2147483647},
        {"-2147483649", 1, -2147483647 - 1},
        {"-99999999999", 1, -2147483647 - 1},
        {"-99999999999999999999999999", 1, -2147483647 - 1},
        {"4294967296", 1, 2147483647},
        {"-", 0, 99},
        {"- 5", 0, 99},
        {"abc", 0, 99},
    };
    for (const auto& row : rows) {
        int32_t value = 99;
        EXPECT_EQ(matchNumber(row.text, &value), row.matched) << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
}

TEST(LineReader, EndsLinesAtLfCrAndEndOfFile) {
    FILE* file = tmpfile();
    fputs("a\r\nb\rc\n#x\n\nd", file);
    rewind(file);
    char line[LINE_BUFFER_SIZE];
    EXPECT_EQ(readContentLine(file, line), 1);
    EXPECT_STREQ(line, "a");
    EXPECT_EQ(readContentLine(file, line), 1);
    EXPECT_STREQ(line, "b");
    EXPECT_EQ(readContentLine(file, line), 1);
    EXPECT_STREQ(line, "c");
    EXPECT_EQ(readContentLine(file, line), 1);
    EXPECT_STREQ(line, "d");
    EXPECT_EQ(readContentLine(file, line), 0);
    fclose(file);
}

}  // namespace
