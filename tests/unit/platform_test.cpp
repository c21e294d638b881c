// Platform rules that are pure functions: program directory, file names, refresh-rate choice.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/paths.h"
#include "platform/player_folder.h"
#include "platform/refresh_rate.h"

namespace {

TEST(ProgramDirectory, LastSeparatorOfEitherKindAboveIndexZero) {
    EXPECT_EQ(programDirectoryEnd("D:\\Games\\x\\prog.exe"), 10);
    EXPECT_EQ(programDirectoryEnd("D:/Games\\x/prog.exe"), 10);
    EXPECT_EQ(programDirectoryEnd("/usr/games/zembrak"), 10);
    EXPECT_EQ(programDirectoryEnd("prog.exe"), -1);
    EXPECT_EQ(programDirectoryEnd("\\prog.exe"), -1);  // only separator is the first character
    EXPECT_EQ(programDirectoryEnd("/zembrak"), -1);
    EXPECT_EQ(programDirectoryEnd(""), -1);
}

TEST(NativePath, BackslashesBecomeSlashesAndLongNamesAreCut) {
    EXPECT_STREQ(nativePath("data\\world.txt").text, "data/world.txt");
    const std::string longName(sizeof(NativePath::text) + 100, 'a');
    EXPECT_EQ(std::string(nativePath(longName.c_str()).text).size(), sizeof(NativePath::text) - 1);
}

TEST(RefreshRate, HighestRateOfTheCurrentModeNotAboveTheWantedOne) {
    const DisplayMode current = {1024, 768, 32, 0};
    const DisplayMode modes[] = {
        {1024, 768, 32, 60}, {1024, 768, 32, 75}, {1024, 768, 32, 85}, {800, 600, 32, 80}, {1024, 768, 16, 80}};
    EXPECT_EQ(chooseRefreshRate(current, modes, 5, 80), 75u);
    EXPECT_EQ(chooseRefreshRate(current, modes, 2, 72), 60u);
    EXPECT_EQ(chooseRefreshRate(current, modes + 2, 3, 80), 0u);  // only faster modes, or other sizes
    EXPECT_EQ(chooseRefreshRate(current, modes, 5, 0), 0u);
}

// A relative XDG folder is ignored (it would name a folder below wherever the game was
// started); a relative or missing HOME gives way to the home in the user database.
TEST(PlayerFolder, OnlyAbsoluteFoldersCount) {
    const std::string database = std::string(getpwuid(getuid())->pw_dir) + "/.config/zembrak/config.txt";
    const struct {
        const char *config, *home;
        std::string expected;
    } rows[] = {
        {"/x/cfg", "/h", "/x/cfg/zembrak/config.txt"},
        {"cfg", "/h", "/h/.config/zembrak/config.txt"},
        {"./cfg", "/h", "/h/.config/zembrak/config.txt"},
        {"", "/h", "/h/.config/zembrak/config.txt"},
        {nullptr, "/h", "/h/.config/zembrak/config.txt"},
        {"cfg", "h", database},
        {nullptr, nullptr, database},
    };
    const char* savedConfig = getenv("XDG_CONFIG_HOME");
    const char* savedHome = getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "", home = savedHome ? savedHome : "";
    for (const auto& row : rows) {
        row.config ? setenv("XDG_CONFIG_HOME", row.config, 1) : unsetenv("XDG_CONFIG_HOME");
        row.home ? setenv("HOME", row.home, 1) : unsetenv("HOME");
        char path[256] = "";
        EXPECT_EQ(playerFilePath(PLAYER_SETTINGS, "config.txt", path, sizeof path, 0), 1);
        EXPECT_EQ(path, row.expected) << (row.config ? row.config : "(unset)");
    }
    savedConfig ? setenv("XDG_CONFIG_HOME", config.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

}  // namespace
