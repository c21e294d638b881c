// Platform rules that are pure functions: program directory, file names, refresh-rate choice.
#include "platform/paths.h"
#include "platform/refresh_rate.h"

#include <gtest/gtest.h>

#include <string>

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
    const DisplayMode modes[] = {{1024, 768, 32, 60}, {1024, 768, 32, 75}, {1024, 768, 32, 85},
                                 {800, 600, 32, 80},  {1024, 768, 16, 80}};
    EXPECT_EQ(chooseRefreshRate(current, modes, 5, 80), 75u);
    EXPECT_EQ(chooseRefreshRate(current, modes, 2, 72), 60u);
    EXPECT_EQ(chooseRefreshRate(current, modes + 2, 3, 80), 0u);  // only faster modes, or other sizes
    EXPECT_EQ(chooseRefreshRate(current, modes, 5, 0), 0u);
}

}  // namespace
