// Where the two saved files go and what becomes of the files already there: modes and links
// kept, write-protected files left alone, read-only and system-wide installs saved in the
// player's folders, links planted by others and pipes never used, a best score never lowered,
// and the "Could not save" messages exactly when a file was not saved.
#include <dirent.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "fakes.h"
#include "game/state.h"
#include "persist/best_score.h"
#include "persist/line_reader.h"
#include "persist/settings.h"
#include "platform/player_folder.h"
#include "platform/save_file.h"
#include "temp_folder.h"

// The test build's own ftruncate comes before the C library's: a save can be stopped right
// before it cuts a file written in place, as a kill at that moment would stop it.
static int stopAtCut = 0;  // the n-th cut ends the process; 0 lets every cut through
extern "C" int ftruncate(int fd, off_t length) noexcept {
    if (stopAtCut > 0 && --stopAtCut == 0) _exit(42);
    return static_cast<int>(syscall(SYS_ftruncate, fd, length));
}

namespace {

mode_t modeOf(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

bool isLink(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// A user who is neither the player nor root; only root can give a link to someone else.
const uid_t OTHER_USER = 4242;

void plantLink(const std::string& target, const std::string& link) {
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(lchown(link.c_str(), OTHER_USER, static_cast<gid_t>(-1)), 0) << "needs root";
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
const std::string LONG_FOLDER = [] {
    std::string path = "home";
    for (int i = 0; i < 12; ++i) path += "/" + std::string(200, 'f');
    return path;
}();

struct SaveCase {
    const char* name;
    bool withoutOverride;  // the case is about permissions
    std::function<void(const std::string& folder)> arrange;
    const char* expectedOutput;
    std::function<void(const std::string& folder)> check;
    bool needsRoot = false;  // plants files of another user
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

// Neither player copy was made; their folders' names begin with a dot, so listing home shows none.
void expectNoPlayerFiles() {
    EXPECT_NE(access(PLAYER_CONFIG.c_str(), F_OK), 0);
    EXPECT_NE(access(PLAYER_SCORE.c_str(), F_OK), 0);
}

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
    {"WriteProtectedFilesStayAndThePlayerFoldersTakeTheSave", false,
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
    {"WritableFilesInAReadOnlyFolderAreWrittenInPlaceAndCutToTheirLength", true,
     [](const std::string&) {
         writeFile("config.txt", std::string(2000, '~'), 0664);
         writeFile("data/hiscore.txt", "1 and a longer old tail", 0664);
         makeFolderReadOnly();
     },
     "",
     [](const std::string&) {
         expectSavedAt("config.txt", "data/hiscore.txt");
         EXPECT_EQ(readFile("config.txt").find('~'), std::string::npos);
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
    {"AWriteThatFailsGoesToThePlayerFolders", false,
     [](const std::string&) {
         ASSERT_EQ(symlink("/dev/full", "data/hiscore.txt"), 0);
         ASSERT_EQ(symlink("/dev/full", "config.txt"), 0);
     },
     "", [](const std::string&) { expectSavedAt(PLAYER_CONFIG, PLAYER_SCORE); }},
    // Another member of a shared score folder links the files to the player's own and to a
    // file of their choosing; the game acts as if the files refused writing.
    {"LinksOfAnotherUserAreNotFollowed", false,
     [](const std::string& folder) {
         writeFile("victim.txt", "my notes");
         chmod("data", 02775);
         plantLink(folder + "/victim.txt", "data/hiscore.txt");
         plantLink(folder + "/made.txt", "config.txt");
     },
     "",
     [](const std::string&) {
         EXPECT_EQ(readFile("victim.txt"), "my notes");
         EXPECT_NE(access("made.txt", F_OK), 0);
         EXPECT_TRUE(isLink("data/hiscore.txt"));
         expectSavedAt(PLAYER_CONFIG, PLAYER_SCORE);
     },
     true},
    {"AFolderLinkOfAnotherUserOnTheWayIsNotFollowed", true,
     [](const std::string&) {
         makeFolderReadOnly();
         mkdir("victim", 0755);
         ASSERT_EQ(system("mkdir -p home/.local/share"), 0);
         plantLink("../../../victim", "home/.local/share/zembrak");
     },
     "Could not save hiscore to data\\hiscore.txt",
     [](const std::string&) {
         EXPECT_EQ(namesIn("victim"), std::set<std::string>{});
         EXPECT_NE(readFile(PLAYER_CONFIG).find(NEW_WIDTH_LINE), std::string::npos);
     },
     true},
    {"APipeIsLeftAloneAndThePlayerFolderTakesTheSave", false,
     [](const std::string&) { ASSERT_EQ(mkfifo("data/hiscore.txt", 0666), 0); }, "",
     [](const std::string&) {
         struct stat status;
         EXPECT_TRUE(lstat("data/hiscore.txt", &status) == 0 && S_ISFIFO(status.st_mode));
         EXPECT_EQ(readFile(PLAYER_SCORE), "1500");
         EXPECT_NE(readFile("config.txt").find(NEW_WIDTH_LINE), std::string::npos);
     }},
    // A loop of links names no file: nothing is made through it, the player folders take the save.
    {"ALoopOfLinksIsLeftAloneAndThePlayerFoldersTakeTheSave", false,
     [](const std::string&) {
         ASSERT_EQ(symlink("hiscore.txt", "data/hiscore.txt"), 0);
         ASSERT_EQ(symlink("loop.txt", "config.txt"), 0);
         ASSERT_EQ(symlink("config.txt", "loop.txt"), 0);
     },
     "",
     [](const std::string&) {
         EXPECT_TRUE(isLink("data/hiscore.txt") && isLink("config.txt") && isLink("loop.txt"));
         expectSavedAt(PLAYER_CONFIG, PLAYER_SCORE);
     }},
    // A device is written as it is, never replaced by a file: a score sent to /dev/null on purpose.
    {"ADeviceIsWrittenAndStaysADevice", false,
     [](const std::string&) { ASSERT_EQ(symlink("/dev/null", "data/hiscore.txt"), 0); }, "",
     [](const std::string&) {
         EXPECT_TRUE(isLink("data/hiscore.txt"));
         expectNoPlayerFiles();
         EXPECT_NE(readFile("config.txt").find(NEW_WIDTH_LINE), std::string::npos);
     }},
    // Far longer than the old 1 KB buffer, well within PATH_MAX.
    {"APlayerFolderWithALongPathTakesTheSave", true,
     [](const std::string& folder) {
         makeFolderReadOnly();
         setenv("XDG_CONFIG_HOME", (folder + "/" + LONG_FOLDER).c_str(), 1);
         setenv("XDG_DATA_HOME", (folder + "/" + LONG_FOLDER).c_str(), 1);
     },
     "",
     [](const std::string&) {
         expectSavedAt(LONG_FOLDER + "/zembrak/config.txt", LONG_FOLDER + "/zembrak/hiscore.txt");
     }},
    // A group member swaps the shared data folder for a link into the player's own folder
    // while the save is on its way: the save stays in the folder it checked.
    {"AFolderSwappedAfterTheWalkIsNotWrittenThrough", false,
     [](const std::string&) {
         mkdir("mine", 0700);
         saveFolderWalked = [] {
             if (rename("data", "data.checked") == 0) {
                 EXPECT_EQ(symlink("mine", "data"), 0);
             }
         };
     },
     "",
     [](const std::string&) {
         EXPECT_EQ(namesIn("mine"), std::set<std::string>{});
         EXPECT_EQ(readFile("data.checked/hiscore.txt"), "1500");
     }},
    {"AHardLinkToAPrivateFileIsNotWrittenThrough", true,
     [](const std::string&) {
         writeFile("private.txt", "7", 0600);
         ASSERT_EQ(link("private.txt", "data/hiscore.txt"), 0);
         makeFolderReadOnly();
     },
     "",
     [](const std::string&) {
         EXPECT_EQ(readFile("private.txt"), "7");
         EXPECT_EQ(readFile(PLAYER_SCORE), "1500");
     }},
    // Another member's score file in a sticky shared folder: the rename over it is refused.
    {"ARenameTheStickyFolderRefusesGoesToThePlayerFolder", true,
     [](const std::string&) {
         writeFile("data/hiscore.txt", "1", 0666);
         ASSERT_EQ(chown("data/hiscore.txt", OTHER_USER, OTHER_USER), 0);
         ASSERT_EQ(chown("data", OTHER_USER, OTHER_USER), 0);
         chmod("data", 01777);
     },
     "",
     [](const std::string&) {
         EXPECT_EQ(readFile("data/hiscore.txt"), "1");
         EXPECT_EQ(readFile(PLAYER_SCORE), "1500");
         EXPECT_EQ(namesIn("data"), std::set<std::string>{"hiscore.txt"});
     },
     true},
    {"ASharedScoreFileKeepsItsGroupAndAnotherUsersModeIsNotCopied", false,
     [](const std::string&) {
         writeFile("data/hiscore.txt", "1", 02664);
         ASSERT_EQ(chown("data/hiscore.txt", geteuid(), OTHER_USER), 0);
         writeFile("config.txt", "old", 06777);
         ASSERT_EQ(chown("config.txt", OTHER_USER, OTHER_USER), 0);
     },
     "",
     [](const std::string&) {
         struct stat status;
         EXPECT_TRUE(stat("data/hiscore.txt", &status) == 0 && status.st_gid == OTHER_USER);
         EXPECT_EQ(modeOf("data/hiscore.txt"), 0664u);
         EXPECT_EQ(modeOf("config.txt"), 0644u);
     },
     true},
    // An install in a folder players cannot write, its score file left writable for everyone by
    // the administrator: every player's best score goes there.
    {"AnotherUsersScoreFileWritableForAllIsSharedInPlace", true,
     [](const std::string&) {
         writeFile("data/hiscore.txt", "1 and a longer old tail", 0666);
         ASSERT_EQ(chown("data/hiscore.txt", OTHER_USER, OTHER_USER), 0);
         makeFolderReadOnly();
     },
     "",
     [](const std::string&) {
         EXPECT_EQ(readFile("data/hiscore.txt"), "1500");
         EXPECT_EQ(modeOf("data/hiscore.txt"), 0666u);
         EXPECT_NE(access(PLAYER_SCORE.c_str(), F_OK), 0);
     },
     true},
    // The player's copy is the file a read-only install's save replaces, so it is the one
    // compared with, not the starting value beside the program.
    {"TheHigherScoreKeptIsTheOneInTheFileReplaced", true,
     [](const std::string&) {
         writeFile("data/hiscore.txt", "1", 0444);
         ASSERT_EQ(system("mkdir -p home/.local/share/zembrak"), 0);
         writeFile(PLAYER_SCORE, "2000");
         makeFolderReadOnly();
     },
     "", [](const std::string&) { EXPECT_EQ(readFile(PLAYER_SCORE), "2000"); }},
    // Two games at once: the one that exits last had the lower score.
    {"AHigherBestScoreSavedMeanwhileStays", false, [](const std::string&) { writeFile("data/hiscore.txt", "2000"); },
     "",
     [](const std::string&) {
         EXPECT_EQ(readFile("data/hiscore.txt"), "2000");
         EXPECT_NE(readFile("config.txt").find(NEW_WIDTH_LINE), std::string::npos);
     }},
};

struct SaveTest : TempFolderTest, testing::WithParamInterface<SaveCase> {
    void SetUp() override {
        TempFolderTest::SetUp();
        resetForTest();
    }
    void TearDown() override {
        saveFolderWalked = nullptr;
        TempFolderTest::TearDown();
    }
};

TEST_P(SaveTest, SavesWhereItCanAndSaysWhereItCannot) {
    const SaveCase& c = GetParam();
    if (c.needsRoot && geteuid() != 0) GTEST_SKIP() << "only root can make another user's link";
    c.arrange(folder);
    game.bestScore = 1500;
    game.screenWidth = 1024;
    std::string output;
    {
        std::unique_ptr<WithoutOverride> lowered(c.withoutOverride ? new WithoutOverride : nullptr);
        testing::internal::CaptureStdout();
        saveSettings("config.txt", game, game.bestScore);
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
        loadSettings("config.txt", game, &game.bestScore);
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
        saveSettings("config.txt", game, game.bestScore);
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
    } cases[] = {{nullptr, databaseHome},
                 {"", databaseHome},
                 {"relative/home", databaseHome},
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
        {"\xEF\xBBSCREEN_WIDTH: 900\n",
         "\xEF"
         "12",
         800, 1, 0},
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

// What the best-score save reports, for the replay kept beside it: only a raised score is ours.
TEST_F(LoadPlaceTest, TheBestScoreSaveSaysWhoseScoreTheFileHolds) {
    const struct {
        const char* before;  // nullptr: no file
        BestScoreSave result;
        const char* after;
        const char* output;
    } cases[] = {
        {nullptr, BEST_SCORE_RAISED, "1500", ""},
        {"12", BEST_SCORE_RAISED, "1500", ""},
        {"no number", BEST_SCORE_RAISED, "1500", ""},
        {"2000", BEST_SCORE_HELD, "2000", ""},
        {"-5", BEST_SCORE_HELD, "-5", ""},                     // above any reachable score
        {"# best\n1500 points", BEST_SCORE_HELD, "1500", ""},  // the same score, back in standard form
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before != nullptr ? c.before : "no file");
        unlink("data/hiscore.txt");
        if (c.before != nullptr) writeFile("data/hiscore.txt", c.before);
        game.bestScore = 1500;
        testing::internal::CaptureStdout();
        EXPECT_EQ(saveBestScore(1500, {}), c.result);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output);
        EXPECT_EQ(readFile("data/hiscore.txt"), c.after);
    }
    unlink("data/hiscore.txt");
    ASSERT_EQ(symlink("/dev/full", "data/hiscore.txt"), 0);
    noPlayerFolders();
    testing::internal::CaptureStdout();
    EXPECT_EQ(saveBestScore(1500, {}), BEST_SCORE_NOT_SAVED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not save hiscore to data\\hiscore.txt");
}

// Two games exiting together: the lower one has read the file and is about to write when the
// higher one comes; that one waits its turn and keeps its score.
int lowerIsWriting = -1;
TEST_F(LoadPlaceTest, TwoGamesSavingTogetherKeepTheHigherScore) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    lowerIsWriting = ready[1];
    const pid_t lower = fork();
    if (lower == 0) {
        saveFolderWalked = [] {
            saveFolderWalked = nullptr;
            if (write(lowerIsWriting, "w", 1) == 1) usleep(300000);
        };
        saveBestScore(700, {});
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(saveBestScore(1500, {}), BEST_SCORE_RAISED);
    waitpid(lower, nullptr, 0);
    EXPECT_EQ(readFile("data/hiscore.txt"), "1500");
}

// A link root made is followed for a player who is not root, as one of their own would be.
TEST_F(LoadPlaceTest, ALinkOfRootIsFollowed) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can save as another user";
    mkdir("shared", 0755);
    ASSERT_EQ(system(("chown -R 4242:4242 " + folder).c_str()), 0);
    unlink("data/hiscore.txt");
    ASSERT_EQ(symlink("../shared/hiscore.txt", "data/hiscore.txt"), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setresgid(OTHER_USER, OTHER_USER, OTHER_USER) == 0 && setresuid(OTHER_USER, OTHER_USER, OTHER_USER) == 0)
            saveBestScore(1500, {});
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    EXPECT_EQ(readFile("shared/hiscore.txt"), "1500");
}

// Endless streams and pipes in place of the files: the start goes on with the defaults.
TEST_F(LoadPlaceTest, EndlessFilesAndPipesReadAsNothing) {
    unlink("config.txt");
    unlink("data/hiscore.txt");
    ASSERT_EQ(symlink("/dev/zero", "config.txt"), 0);
    ASSERT_EQ(mkfifo("data/hiscore.txt", 0666), 0);
    EXPECT_EQ(load(false), "Could not load hiscore from data\\hiscore.txt");
    EXPECT_EQ(game.screenWidth, 800);
    EXPECT_EQ(game.bestScore, 0u);
}

// Endless streams of nothing the reader keeps: zero bytes, line ends, comment lines.
TEST(BoundedReading, AnEndlessStreamEndsAContentLineRead) {
    for (std::string pattern : {std::string(1, '\0'), std::string("\n"), std::string("#\r\n")}) {
        SCOPED_TRACE(testing::PrintToString(pattern));
        cookie_io_functions_t endless = {};
        endless.read = [](void* cookie, char* buffer, size_t size) -> ssize_t {
            const std::string& repeated = *static_cast<const std::string*>(cookie);
            for (size_t i = 0; i < size; ++i) buffer[i] = repeated[i % repeated.size()];
            return static_cast<ssize_t>(size);
        };
        FILE* file = fopencookie(&pattern, "r", endless);
        ASSERT_NE(file, nullptr);
        char line[LINE_BUFFER_SIZE];
        EXPECT_EQ(readContentLine(file, line), 0);
        fclose(file);
    }
}

// A save written in place (a read-only folder, writable files) stopped right before the old
// tail is cut: the new text and empty lines, never an empty file nor old digits after new ones.
TEST_F(LoadPlaceTest, AKillBeforeTheCutInPlaceLeavesNoEmptyFile) {
    const std::string oldConfig = "SCREEN_WIDTH: 640\n" + std::string(2000, '#');
    const struct {
        int cut;  // 1: the best score's, 2: the configuration's
        std::string file, startsWith, oldPart;
    } cases[] = {
        {1, "data/hiscore.txt", "4321", "0"},
        {2, "config.txt", "# soubor nastaveni", "####"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        chmod(".", 0755);
        chmod("data", 0755);
        writeFile("config.txt", oldConfig, 0664);
        writeFile("data/hiscore.txt", "000000001", 0664);
        makeFolderReadOnly();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            WithoutOverride lowered;
            game.bestScore = 4321;
            stopAtCut = c.cut;
            saveSettings("config.txt", game, game.bestScore);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42) << "the save never came to cut the file";
        const std::string text = readFile(c.file);
        EXPECT_EQ(text.compare(0, c.startsWith.size(), c.startsWith), 0) << text.substr(0, 40);
        EXPECT_EQ(text.find(c.oldPart), std::string::npos) << text;
        chmod(".", 0755);
        chmod("data", 0755);
        resetForTest();
        loadSettings("config.txt", game, &game.bestScore);
        EXPECT_EQ(game.bestScore, 4321u);
    }
}

// Temporary files left by saves that a kill cut short go at the next start; nothing else does.
TEST_F(LoadPlaceTest, StaleTemporaryFilesAreRemovedAndNothingElse) {
    ASSERT_EQ(system("mkdir -p home/.config/zembrak"), 0);
    const struct {
        std::string name;
        bool fresh, link, removed;
    } cases[] = {
        {"data/hiscore.txt.zk-Ab12Cd", false, false, true},
        {"config.txt.zk-0xYz9Q", false, false, true},
        {PLAYER_CONFIG + ".zk-Qw3rTy", false, false, true},
        {"config.txt.zk-Nw1234", true, false, false},  // a running game may be writing it
        {"config.txt.backup", false, false, false},    // the player's own
        {"config.txt.zk-Ab12C", false, false, false},
        {"config.txt.zk-link12", false, true, false},
        {"world.txt.zk-Ab12Cd", false, false, false},
    };
    for (const auto& c : cases) {
        if (c.link) {
            ASSERT_EQ(symlink("config.txt", c.name.c_str()), 0);
        } else {
            writeFile(c.name, "SCREEN_WIDTH: 1");
        }
        if (!c.fresh) {
            const timeval hourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
            ASSERT_EQ(lutimes(c.name.c_str(), hourAgo), 0);
        }
    }
    tidySavedFiles("config.txt");
    for (const auto& c : cases) {
        struct stat status;
        EXPECT_EQ(lstat(c.name.c_str(), &status) != 0, c.removed) << c.name;
    }
}

}  // namespace
