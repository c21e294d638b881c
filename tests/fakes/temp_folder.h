// A fresh folder with a data/ below it, made the working directory for one test, as the game's
// own folder would be; removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class TempFolderTest : public ::testing::Test {
protected:
    std::string folder, previous;
    void SetUp() override {
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        previous = buffer;
        char pattern[] = "/tmp/zk-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(chdir(folder.c_str()), 0);
        ASSERT_EQ(mkdir("data", 0755), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previous.c_str()), 0);
        ASSERT_EQ(system(("rm -rf " + folder).c_str()), 0);
    }
};
