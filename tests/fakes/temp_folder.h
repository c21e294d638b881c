// A fresh folder with a data/ below it, made the working directory for one test, as the game's
// own folder would be; removed afterwards. The player's own folders point inside it too, so a
// save that falls back to them never reaches the real home folder. Each test starts as a
// program that keeps its files beside itself.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/install_layout.h"

class TempFolderTest : public ::testing::Test {
   protected:
    std::string folder, previous;
    struct SavedVariable {
        const char* name;
        bool set;
        std::string value;
    };
    std::vector<SavedVariable> savedEnvironment;
    void SetUp() override {
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        previous = buffer;
        char pattern[] = "/tmp/zk-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(chdir(folder.c_str()), 0);
        ASSERT_EQ(mkdir("data", 0755), 0);
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* value = getenv(name);
            savedEnvironment.push_back({name, value != nullptr, value != nullptr ? value : ""});
        }
        ASSERT_EQ(mkdir("home", 0755), 0);
        setenv("HOME", (folder + "/home").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
    }
    void TearDown() override {
        useSystemInstall(nullptr);
        for (const SavedVariable& variable : savedEnvironment) {
            if (variable.set)
                setenv(variable.name, variable.value.c_str(), 1);
            else
                unsetenv(variable.name);
        }
        // Tests that took write permission away give it back, so the folder can go.
        if (system(("chmod -R u+w " + folder + " 2>/dev/null").c_str()) != 0) ADD_FAILURE() << "chmod";
        ASSERT_EQ(chdir(previous.c_str()), 0);
        ASSERT_EQ(system(("rm -rf " + folder).c_str()), 0);
    }
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << text;
    chmod(path.c_str(), mode);
}
