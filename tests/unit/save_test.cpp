// Where the two saved files go and what becomes of the files already there: modes and links
// kept, write-protected files left alone, read-only and system-wide installs saved in the
// player's folders, and the "Could not save" messages exactly when a file was not saved.
#include "fakes.h"
#include "temp_folder.h"

#include "game/state.h"
#include "persist/settings.h"
#include "platform/player_folder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <functional>
#include <linux/capability.h>
#include <memory>
#include <pwd.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

mode_t modeOf(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

bool isLink(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.insert(entry->d_name);
        closedir(dir);
    }
    return names;
}

// Root passes every permission check; with these capabilities lowered it meets the modes of
// files like any player. Nothing to do for other users.
class WithoutOverride {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {}, lowered[2] = {};

public:
    WithoutOverride() {
        syscall(SYS_capget, &header, saved);
        lowered[0] = saved[0];
        lowered[1] = saved[1];
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            lowered[capability / 32].effective &= ~(1u << (capability % 32));
        syscall(SYS_capset, &header, lowered);
    }
    ~WithoutOverride() { syscall(SYS_capset, &header, saved); }
};

const std::string PLAYER_CONFIG = "home/.config/zembrak/config.txt";
const std::string PLAYER_SCORE = "home/.local/share/zembrak/hiscore.txt";
const char* const BOTH_MESSAGES = "Could not save hiscore to data\\hiscore.txtCould not save config to config.txt";
const char* const NEW_WIDTH_LINE = "SCREEN_WIDTH: 1024\n";

struct SaveCase {
    const char* name;
    bool withoutOverride;  // the case is about permissions
    std::function<void(const std::string& folder)> arrange;
    const char* expectedOutput;
    std::function<void(const std::string& folder)> check;
};

void expectSavedAt(const std::string& config, const std::string& score) {
    EXPECT_NE(readFile(config).find(NEW_WIDTH_LINE), std::string::npos) << config;
    EXPECT_EQ(readFile(score), "1500") << score;
}

void expectUntouched(const std::string& config, const std::string& score) {
    EXPECT_EQ(readFile(config), "old");
    EXPECT_EQ(readFile(score), "1");
    EXPECT_EQ(modeOf(config), 0444u);
    EXPECT_EQ(modeOf(score), 0444u);
}

void expectNoPlayerFiles() { EXPECT_EQ(namesIn("home"), std::set<std::string>{}); }

void makeFolderReadOnly() {
    chmod("data", 0555);
    chmod(".", 0555);
}

// The player's folders cannot be made, not even by root.
void noPlayerFolders() {
    setenv("XDG_CONFIG_HOME", "/proc/zembrak-none", 1);
    setenv("XDG_DATA_HOME", "/proc/zembrak-none", 1);
}

// An install owned by someone else: its files and folders refuse this player's writes.
void makeReadOnlyInstall() {
    chmod("config.txt", 0444);
    chmod("data/hiscore.txt", 0444);
    makeFolderReadOnly();
}

const SaveCase SAVE_CASES[] = {
    {"PlainFilesKeepTheirModesAndLeaveNoTemporaryFiles", false,
     [](const std::string&) {
         writeFile("config.txt", "old", 0600);
         writeFile("data/hiscore.txt", "1", 0664);
     },
     "",
     [](const std::string&) {
         expectSavedAt("config.txt", "data/hiscore.txt");
         EXPECT_EQ(modeOf("config.txt"), 0600u);
         EXPECT_EQ(modeOf("data/hiscore.txt"), 0664u);
         EXPECT_EQ(namesIn("."), (std::set<std::string>{"config.txt", "data", "home"}));
         EXPECT_EQ(namesIn("data"), std::set<std::string>{"hiscore.txt"});
         expectNoPlayerFiles();
     }},
    {"NewFilesGetTheUsualMode", false, [](const std::string&) {}, "",
     [](const std::string&) {
         expectSavedAt("config.txt", "data/hiscore.txt");
         EXPECT_EQ(modeOf("config.txt"), 0644u);
         EXPECT_EQ(modeOf("data/hiscore.txt"), 0644u);
     }},
    {"LinksStayLinksAndTheFilesBehindThemAreSaved", false,
     [](const std::string& folder) {
         mkdir("shared", 0775);
         writeFile("shared/hiscore.txt", "1", 0664);
         writeFile("shared/config.txt", "old", 0640);
         ASSERT_EQ(symlink("../shared/hiscore.txt", "data/hiscore.txt"), 0);  // relative to data/
         ASSERT_EQ(symlink((folder + "/shared/config.txt").c_str(), "config.txt"), 0);
     },
     "",
     [](const std::string&) {
         EXPECT_TRUE(isLink("data/hiscore.txt"));
         EXPECT_TRUE(isLink("config.txt"));
         expectSavedAt("shared/config.txt", "shared/hiscore.txt");
         EXPECT_EQ(modeOf("shared/hiscore.txt"), 0664u);
         EXPECT_EQ(modeOf("shared/config.txt"), 0640u);
         EXPECT_EQ(namesIn("shared"), (std::set<std::string>{"config.txt", "hiscore.txt"}));
     }},
    {"ALinkToAMissingFileMakesThatFile", false,
     [](const std::string&) {
         mkdir("shared", 0775);
         ASSERT_EQ(symlink("../shared/best.txt", "data/hiscore.txt"), 0);
     },
     "",
     [](const std::string&) {
         EXPECT_TRUE(isLink("data/hiscore.txt"));
         EXPECT_EQ(readFile("shared/best.txt"), "1500");
     }},
    {"WriteProtectedFilesStayAndThePlayerFoldersTakeTheSave", true,
     [](const std::string&) {
         writeFile("config.txt", "old", 0444);
         writeFile("data/hiscore.txt", "1", 0444);
     },
     "",
     [](const std::string&) {
         expectUntouched("config.txt", "data/hiscore.txt");
         expectSavedAt(PLAYER_CONFIG, PLAYER_SCORE);
     }},
    {"WriteProtectedFilesWithoutAPlayerFolderAreReported", true,
     [](const std::string&) {
         writeFile("config.txt", "old", 0444);
         writeFile("data/hiscore.txt", "1", 0444);
         noPlayerFolders();
     },
     BOTH_MESSAGES,
     [](const std::string&) {
         expectUntouched("config.txt", "data/hiscore.txt");
         EXPECT_EQ(namesIn("."), (std::set<std::string>{"config.txt", "data", "home"}));
     }},
    {"WritableFilesInAReadOnlyFolderAreWrittenInPlace", true,
     [](const std::string&) {
         writeFile("config.txt", "old", 0664);
         writeFile("data/hiscore.txt", "1", 0664);
         makeFolderReadOnly();
     },
     "",
     [](const std::string&) {
         expectSavedAt("config.txt", "data/hiscore.txt");
         EXPECT_EQ(modeOf("data/hiscore.txt"), 0664u);
         expectNoPlayerFiles();
     }},
    {"AReadOnlyInstallSavesInThePlayerFolders", true, [](const std::string&) { makeFolderReadOnly(); }, "",
     [](const std::string&) {
         expectSavedAt(PLAYER_CONFIG, PLAYER_SCORE);
         EXPECT_EQ(namesIn("data"), std::set<std::string>{});
     }},
    {"NothingWritableAnywhereIsReported", true,
     [](const std::string&) {
         makeFolderReadOnly();
         noPlayerFolders();
     },
     BOTH_MESSAGES, [](const std::string&) { EXPECT_EQ(namesIn("data"), std::set<std::string>{}); }},
    // Built for a system-wide install: the files beside it are starting values, even for
    // root, who could write them.
    {"ASystemInstallSavesOnlyInThePlayerFolders", false,
     [](const std::string&) {
         writeFile("config.txt", "old", 0644);
         writeFile("data/hiscore.txt", "1", 0644);
         useSystemInstall(".");
     },
     "",
     [](const std::string&) {
         expectSavedAt(PLAYER_CONFIG, PLAYER_SCORE);
         EXPECT_EQ(readFile("config.txt"), "old");
         EXPECT_EQ(readFile("data/hiscore.txt"), "1");
         EXPECT_EQ(namesIn("."), (std::set<std::string>{"config.txt", "data", "home"}));
     }},
    {"ASystemInstallWithoutPlayerFoldersIsReported", false,
     [](const std::string&) {
         useSystemInstall(".");
         noPlayerFolders();
     },
     BOTH_MESSAGES, [](const std::string&) { EXPECT_EQ(namesIn("data"), std::set<std::string>{}); }},
    {"AWriteThatFailsIsReported", false,
     [](const std::string&) {
         ASSERT_EQ(symlink("/dev/full", "data/hiscore.txt"), 0);
         ASSERT_EQ(symlink("/dev/full", "config.txt"), 0);
     },
     BOTH_MESSAGES, [](const std::string&) { expectNoPlayerFiles(); }},
};

struct SaveTest : TempFolderTest, testing::WithParamInterface<SaveCase> {
    void SetUp() override {
        TempFolderTest::SetUp();
        resetForTest();
    }
};

TEST_P(SaveTest, SavesWhereItCanAndSaysWhereItCannot) {
    const SaveCase& c = GetParam();
    c.arrange(folder);
    game.bestScore = 1500;
    game.screenWidth = 1024;
    std::string output;
    {
        std::unique_ptr<WithoutOverride> lowered(c.withoutOverride ? new WithoutOverride : nullptr);
        testing::internal::CaptureStdout();
        saveSettings("config.txt");
        fflush(stdout);
        output = testing::internal::GetCapturedStdout();
    }
    chmod(".", 0755);
    chmod("data", 0755);
    EXPECT_EQ(output, c.expectedOutput);
    c.check(folder);
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveTest, testing::ValuesIn(SAVE_CASES),
                         [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

// Reading follows the same rule: the files beside the program where they can be written,
// otherwise the player's copies, otherwise the files beside the program as starting values.
struct LoadPlaceTest : TempFolderTest {
    void SetUp() override {
        TempFolderTest::SetUp();
        resetForTest();
        writeFile("config.txt", "SCREEN_WIDTH: 640\n", 0644);
        writeFile("data/hiscore.txt", "200", 0644);
    }
    void writePlayerCopies() {
        ASSERT_EQ(system("mkdir -p home/.config/zembrak home/.local/share/zembrak"), 0);
        writeFile(PLAYER_CONFIG, "SCREEN_WIDTH: 1280\n");
        writeFile(PLAYER_SCORE, "900");
    }
    std::string load(bool withoutOverride) {
        std::unique_ptr<WithoutOverride> lowered(withoutOverride ? new WithoutOverride : nullptr);
        testing::internal::CaptureStdout();
        loadSettings("config.txt");
        fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(LoadPlaceTest, WritableFilesBesideTheProgramWinOverPlayerCopies) {
    writePlayerCopies();
    EXPECT_EQ(load(false), "");
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.bestScore, 200u);
}

TEST_F(LoadPlaceTest, AReadOnlyInstallReadsThePlayerCopies) {
    writePlayerCopies();
    makeReadOnlyInstall();
    EXPECT_EQ(load(true), "");
    EXPECT_EQ(game.screenWidth, 1280);
    EXPECT_EQ(game.bestScore, 900u);
}

TEST_F(LoadPlaceTest, AReadOnlyInstallWithoutPlayerCopiesStartsFromItsOwnFiles) {
    makeReadOnlyInstall();
    EXPECT_EQ(load(true), "");
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.bestScore, 200u);
}

TEST_F(LoadPlaceTest, ASavedReadOnlyInstallReadsBackWhatItSaved) {
    makeReadOnlyInstall();
    {
        WithoutOverride lowered;
        game.bestScore = 4321;
        game.screenWidth = 1024;
        testing::internal::CaptureStdout();
        saveSettings("config.txt");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
    resetForTest();
    EXPECT_EQ(load(true), "");
    EXPECT_EQ(game.screenWidth, 1024);
    EXPECT_EQ(game.bestScore, 4321u);
}

TEST_F(LoadPlaceTest, ASystemInstallReadsThePlayerCopiesElseItsStartingValues) {
    useSystemInstall(".");
    EXPECT_EQ(load(false), "");
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.bestScore, 200u);
    writePlayerCopies();
    resetForTest();
    EXPECT_EQ(load(false), "");
    EXPECT_EQ(game.screenWidth, 1280);
    EXPECT_EQ(game.bestScore, 900u);
}

// Without a usable HOME (a service, `env -i`) the user database names the home folder, so the
// settings and the best score are not lost.
TEST_F(LoadPlaceTest, WithoutHomeTheUserDatabaseNamesTheHomeFolder) {
    const struct passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    const std::string databaseHome = user->pw_dir;
    const struct {
        const char* home;  // null: unset
        std::string expectedHome;
    } cases[] = {{nullptr, databaseHome}, {"", databaseHome}, {"relative/home", databaseHome},
                 {"/elsewhere/home", "/elsewhere/home"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.home != nullptr ? c.home : "(unset)");
        if (c.home != nullptr)
            setenv("HOME", c.home, 1);
        else
            unsetenv("HOME");
        char path[4096];
        ASSERT_TRUE(playerFilePath(PLAYER_DATA, "hiscore.txt", path, sizeof path, 0));
        EXPECT_EQ(std::string(path), c.expectedHome + "/.local/share/zembrak/hiscore.txt");
        ASSERT_TRUE(playerFilePath(PLAYER_SETTINGS, "config.txt", path, sizeof path, 0));
        EXPECT_EQ(std::string(path), c.expectedHome + "/.config/zembrak/config.txt");
    }
}

// Windows editors may start a text file with a UTF-8 byte-order mark; it must not cost a
// setting or the best score.
TEST_F(LoadPlaceTest, AByteOrderMarkAtTheStartIsSkipped) {
    const std::string mark = "\xEF\xBB\xBF";
    const struct {
        std::string config, score;
        int32_t width, fullscreen;
        uint32_t best;
    } cases[] = {
        {mark + "# soubor\nSCREEN_WIDTH: 1024\nSCREEN_HEIGHT: 768\nBPP: 32\nFULLSCREEN: 0\n", mark + "1500", 1024, 0,
         1500},
        {mark + "SCREEN_WIDTH: 900\r\n", mark + "\r\n# best\r\n77", 900, 1, 77},
        // Only a whole mark is skipped: a file that merely starts like one is read as it is.
        {"\xEF\xBBSCREEN_WIDTH: 900\n", "\xEF" "12", 800, 1, 0},
        {mark, mark, 800, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        resetForTest();
        writeFile("config.txt", c.config);
        writeFile("data/hiscore.txt", c.score);
        load(false);
        EXPECT_EQ(game.screenWidth, c.width);
        EXPECT_EQ(game.fullscreen, c.fullscreen);
        EXPECT_EQ(game.bestScore, c.best);
    }
}

}  // namespace
