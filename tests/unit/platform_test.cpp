// Platform rules that are pure functions: program directory, file names, refresh-rate choice,
// the keys that pads and touch controls give.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "input/pad_input.h"
#include "platform/paths.h"
#include "platform/player_folder.h"
#include "platform/refresh_rate.h"

namespace {

// Numbers from SECOND_PAD on are the second pad's.
const int SECOND_PAD = 256;

SDL_Event joy(Uint8 type, int number, int value = 0) {
    SDL_Event event = {};
    event.type = type;
    event.jaxis.which = static_cast<Uint8>(number / SECOND_PAD);  // where the hat's and the button's lie too
    event.jaxis.axis = static_cast<Uint8>(number % SECOND_PAD);
    if (type == SDL_JOYHATMOTION) event.jhat.value = static_cast<Uint8>(value);
    if (type == SDL_JOYAXISMOTION) event.jaxis.value = static_cast<Sint16>(value);
    return event;
}

// What the game is handed at tick `now`: key names and focus changes, space-separated.
std::string takeAll(uint32_t now) {
    std::string seen;
    for (SDL_Event e; padTake(&e) || padRepeat(now, &e);)
        seen += (seen.empty() ? "" : " ") + std::string(e.type == SDL_KEYDOWN ? SDL_GetKeyName(e.key.keysym.sym)
                                                        : e.active.gain       ? "focus"
                                                                              : "pause");
    return seen;
}

// Every control of the table gives the keys a keyboard player presses for its action.
TEST(PadInput, EveryControlGivesItsKeys) {
    const int RAW = PAD_LAYOUT_RAW, STD = PAD_LAYOUT_STANDARD;
    const char B = 'b', H = 'h', A = 'a', T = 't';  // button, hat, axis, touch
    const struct {
        int layout;
        char kind;
        int number, value;
        const char* keys;
    } rows[] = {
        // clang-format off
        {RAW, B, 0, 1, "return"}, {RAW, B, 1, 1, "escape"}, {RAW, B, 6, 1, "escape"}, {RAW, B, 7, 1, "pause"},
        {RAW, B, 3, 1, "f"}, {RAW, B, 2, 1, ""}, {RAW, B, 12, 1, ""}, {RAW, B, 0, 0, ""},
        {STD, B, 0, 1, "return"}, {STD, B, 1, 1, "escape"}, {STD, B, 8, 1, "escape"}, {STD, B, 9, 1, "pause"},
        {STD, B, 3, 1, "f"}, {STD, B, 6, 1, ""}, {STD, B, 12, 1, "up"}, {STD, B, 13, 1, "down"},
        {STD, B, 14, 1, "left"}, {STD, B, 15, 1, "right"}, {RAW, H, 0, SDL_HAT_UP, "up"},
        {RAW, H, 0, SDL_HAT_DOWN, "down"}, {RAW, H, 0, SDL_HAT_LEFT, "left"}, {RAW, H, 0, SDL_HAT_RIGHT, "right"},
        {RAW, H, 0, SDL_HAT_RIGHTDOWN, "down"}, {RAW, H, 0, 0, ""}, {RAW, A, 0, -20000, "left"},
        {RAW, A, 0, 20000, "right"}, {STD, A, 1, -20000, "up"}, {STD, A, 1, 32767, "down"},
        {RAW, A, 0, 10000, ""}, {RAW, A, 1, -10000, ""}, {RAW, A, 3, 32767, ""}, {RAW, A, 2, 32767, ""},
        {RAW, A, 0, 10922, ""}, {RAW, A, 0, 10923, "right"}, {RAW, A, 1, -10922, ""}, {RAW, A, 1, -10923, "up"},
        {RAW, B, SECOND_PAD + 0, 1, ""}, {RAW, H, SECOND_PAD, SDL_HAT_UP, ""}, {RAW, A, SECOND_PAD, 20000, ""},
        {STD, T, TOUCH_UP, 1, "up"}, {STD, T, TOUCH_DOWN, 1, "down"}, {STD, T, TOUCH_LEFT, 1, "left"},
        {STD, T, TOUCH_RIGHT, 1, "right"}, {STD, T, TOUCH_OK, 1, "return"}, {STD, T, TOUCH_MENU, 1, "escape"},
        {STD, T, TOUCH_GO_ON, 1, "space"}, {STD, T, TOUCH_GO_ON, 0, ""},
        // clang-format on
    };
    for (const auto& row : rows) {
        padReset(static_cast<PadLayout>(row.layout));
        const Uint8 type = row.kind == H   ? SDL_JOYHATMOTION
                           : row.kind == A ? SDL_JOYAXISMOTION
                                           : (row.value ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP);
        if (row.kind == T) touchControl(row.number, row.value != 0, 0);
        EXPECT_TRUE(row.kind == T || !padFilter(joy(type, row.number, row.value), 0)) << "a pad event reached the game";
        EXPECT_EQ(takeAll(0), row.keys) << "layout " << row.layout << ", " << row.kind << " " << row.number;
    }
}

// A held direction (hat, stick or touch) repeats after 300 ms, then every 80 ms on the press's
// beat: a tap up to 250 ms is one step however late the game looks; a look an interval late is
// one repeat, not a burst; a touch's repeat waits 50 ms for a release told late, and a release
// owes the repeat due before it. A button acts once however long it is held; a stick turned
// further another way is a fresh press. An unplugged pad pauses like a lost focus, and its held
// direction stops, until a key (which does nothing else) or the pad plugged in again. A lost
// focus lets go of all.
TEST(PadInput, HeldDirectionsRepeatAndAnUnpluggedPadPauses) {
    const char H = 'h', A = 'a', B = 'b', T = 't', KEY = 'k', UNPLUG = 'u', PLUG = 'p', WAKE = 'w', NONE = '-';
    const struct {
        uint32_t at;
        char what;
        int number, value;  // KEY: whether a key (value 1: a lost focus) reaches the game; WAKE: the tick
        const char* handed;
    } timeline[] = {
        // clang-format off
        {1000, H, 0, SDL_HAT_RIGHT, "right"}, {1299, NONE, 0, 0, ""}, {1299, WAKE, 0, 1300, ""},
        {1300, NONE, 0, 0, "right"}, {1379, NONE, 0, 0, ""}, {1380, NONE, 0, 0, "right"}, {1400, H, 0, 0, ""},
        {2000, NONE, 0, 0, ""}, {2000, WAKE, 0, 20000, ""},
        {3000, A, 0, 30000, "right"}, {3300, NONE, 0, 0, "right"}, {3350, A, 1, -31000, "up"},
        {3360, A, 1, 0, "right"}, {3370, A, 0, 3000, ""}, {3400, B, 0, 1, "return"}, {4000, NONE, 0, 0, ""},
        {4100, H, 0, SDL_HAT_LEFT, "left"}, {4340, H, 0, 0, ""}, {4400, NONE, 0, 0, ""},
        {5000, H, 0, SDL_HAT_UP, "up"}, {5010, UNPLUG, 0, 0, "pause"}, {5500, NONE, 0, 0, ""},
        {5600, KEY, 0, 0, "focus"}, {5700, KEY, 1, 0, ""}, {5800, UNPLUG, 0, 0, "pause"},
        {5900, PLUG, 0, 0, "focus"}, {6000, PLUG, 0, 0, ""},
        {7000, A, 1, 30000, "down"}, {7050, KEY, 1, 1, ""}, {7500, NONE, 0, 0, ""}, {7600, A, 1, 0, ""},
        {8000, A, 0, 20000, "right"}, {8010, A, 1, 20000, "down"}, {8020, A, 1, 19999, "right"},
        {8030, A, 1, 0, ""}, {8040, H, 0, SDL_HAT_UP, "up"}, {8340, NONE, 0, 0, "up"}, {8350, A, 0, 0, ""},
        {8420, NONE, 0, 0, "up"}, {8430, H, 0, 0, ""}, {8600, NONE, 0, 0, ""},
        {9000, T, TOUCH_DOWN, 1, "down"}, {9050, T, TOUCH_DOWN, 0, ""}, {9060, T, TOUCH_UP, 1, "up"},
        {9310, T, TOUCH_UP, 0, ""}, {9360, NONE, 0, 0, ""}, {9370, T, TOUCH_RIGHT, 1, "right"},
        {9680, NONE, 0, 0, ""}, {9660, T, TOUCH_RIGHT, 0, ""}, {9800, NONE, 0, 0, ""},
        {9900, T, TOUCH_LEFT, 1, "left"}, {10240, NONE, 0, 0, ""}, {10240, WAKE, 0, 10250, ""},
        {10250, NONE, 0, 0, "left"}, {10320, NONE, 0, 0, ""}, {10340, NONE, 0, 0, "left"}, {10400, NONE, 0, 0, ""},
        {10550, NONE, 0, 0, "left"}, {10580, NONE, 0, 0, ""}, {10650, T, TOUCH_LEFT, 0, "left"}, {10900, NONE, 0, 0, ""},
        // clang-format on
    };
    const SDL_Event key = joy(SDL_KEYDOWN, 0), lostFocus = joy(SDL_ACTIVEEVENT, 0);
    padReset(PAD_LAYOUT_RAW);
    for (const auto& t : timeline) {
        if (t.what == H || t.what == A)
            padFilter(joy(t.what == H ? SDL_JOYHATMOTION : SDL_JOYAXISMOTION, t.number, t.value), t.at);
        if (t.what == B) padFilter(joy(SDL_JOYBUTTONDOWN, t.number), t.at);
        if (t.what == T) touchControl(t.number, t.value != 0, t.at);
        EXPECT_TRUE(t.what != KEY || padFilter(t.value ? lostFocus : key, t.at) == (t.number == 1))
            << "key at " << t.at;
        if (t.what == UNPLUG) padUnplugged();
        if (t.what == PLUG) padPluggedIn();
        EXPECT_TRUE(t.what != WAKE || padWakeBy(t.at, 20000) == static_cast<uint32_t>(t.value)) << "wake at " << t.at;
        EXPECT_EQ(takeAll(t.at), t.handed) << "at " << t.at;
    }
}

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
