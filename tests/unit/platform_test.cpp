// Platform rules that are pure functions: program directory, file names, refresh-rate choice,
// the keys that pads and touch controls give.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/pad_input.h"
#include "platform/paths.h"
#include "platform/player_folder.h"
#include "platform/refresh_rate.h"

namespace {

SDL_Event joy(Uint8 type, int number, int value = 0) {
    SDL_Event event = {};
    event.type = type;
    if (type == SDL_JOYHATMOTION) event.jhat.value = static_cast<Uint8>(value);
    if (type == SDL_JOYAXISMOTION)
        event.jaxis.axis = static_cast<Uint8>(number), event.jaxis.value = static_cast<Sint16>(value);
    if (type == SDL_JOYBUTTONDOWN || type == SDL_JOYBUTTONUP) event.jbutton.button = static_cast<Uint8>(number);
    return event;
}

// What the game is handed at tick `now`: key names and focus changes, space-separated.
std::string takeAll(uint32_t now) {
    std::string seen;
    SDL_Event event;
    while (padTake(now, &event)) {
        if (!seen.empty()) seen += ' ';
        if (event.type == SDL_KEYDOWN) seen += SDL_GetKeyName(event.key.keysym.sym);
        if (event.type == SDL_ACTIVEEVENT) seen += event.active.gain ? "focus" : "pause";
    }
    return seen;
}

// Every control of the table gives the keys a keyboard player presses for its action.
TEST(PadInput, EveryControlGivesItsKeys) {
    const int RAW = PAD_LAYOUT_RAW, STD = PAD_LAYOUT_STANDARD;
    const struct {
        int layout;
        SDL_Event event;
        const char* keys;
    } rows[] = {
        {RAW, joy(SDL_JOYBUTTONDOWN, 0), "return"},
        {RAW, joy(SDL_JOYBUTTONDOWN, 1), "escape"},
        {RAW, joy(SDL_JOYBUTTONDOWN, 6), "escape"},
        {RAW, joy(SDL_JOYBUTTONDOWN, 7), "escape space"},
        {RAW, joy(SDL_JOYBUTTONDOWN, 3), "f"},
        {RAW, joy(SDL_JOYBUTTONDOWN, 2), ""},
        {RAW, joy(SDL_JOYBUTTONDOWN, 12), ""},
        {RAW, joy(SDL_JOYBUTTONUP, 0), ""},
        {STD, joy(SDL_JOYBUTTONDOWN, 0), "return"},
        {STD, joy(SDL_JOYBUTTONDOWN, 1), "escape"},
        {STD, joy(SDL_JOYBUTTONDOWN, 8), "escape"},
        {STD, joy(SDL_JOYBUTTONDOWN, 9), "escape space"},
        {STD, joy(SDL_JOYBUTTONDOWN, 3), "f"},
        {STD, joy(SDL_JOYBUTTONDOWN, 6), ""},
        {STD, joy(SDL_JOYBUTTONDOWN, 12), "up"},
        {STD, joy(SDL_JOYBUTTONDOWN, 13), "down"},
        {STD, joy(SDL_JOYBUTTONDOWN, 14), "left"},
        {STD, joy(SDL_JOYBUTTONDOWN, 15), "right"},
        {RAW, joy(SDL_JOYHATMOTION, 0, SDL_HAT_UP), "up"},
        {RAW, joy(SDL_JOYHATMOTION, 0, SDL_HAT_DOWN), "down"},
        {RAW, joy(SDL_JOYHATMOTION, 0, SDL_HAT_LEFT), "left"},
        {RAW, joy(SDL_JOYHATMOTION, 0, SDL_HAT_RIGHT), "right"},
        {RAW, joy(SDL_JOYHATMOTION, 0, SDL_HAT_RIGHTDOWN), "down"},
        {RAW, joy(SDL_JOYHATMOTION, 0, 0), ""},
        {RAW, joy(SDL_JOYAXISMOTION, 0, -20000), "left"},
        {RAW, joy(SDL_JOYAXISMOTION, 0, 20000), "right"},
        {STD, joy(SDL_JOYAXISMOTION, 1, -20000), "up"},
        {STD, joy(SDL_JOYAXISMOTION, 1, 32767), "down"},
        {RAW, joy(SDL_JOYAXISMOTION, 0, 10000), ""},
        {RAW, joy(SDL_JOYAXISMOTION, 1, -10000), ""},
        {RAW, joy(SDL_JOYAXISMOTION, 3, 32767), ""},
        {RAW, joy(SDL_JOYAXISMOTION, 2, 32767), ""},
    };
    for (const auto& row : rows) {
        padReset(static_cast<PadLayout>(row.layout));
        EXPECT_FALSE(padFilter(row.event, 0)) << "a pad event reached the game";
        EXPECT_EQ(takeAll(0), row.keys) << "layout " << row.layout << ", event " << int(row.event.type);
    }
    const char* touchKeys[] = {"up", "down", "left", "right", "return", "escape", "space"};
    for (int control = TOUCH_UP; control <= TOUCH_GO_ON; ++control) {
        padReset(PAD_LAYOUT_STANDARD);
        touchControl(control, true, 0);
        touchControl(control, false, 0);
        EXPECT_EQ(takeAll(0), touchKeys[control]) << "touch control " << control;
    }
}

// A held direction repeats after 100 ms, then every 80 ms, like a held arrow key; a button
// acts once however long it is held; a direction turned another way is a fresh press.
TEST(PadInput, HeldDirectionsRepeatLikeArrowKeys) {
    const struct {
        SDL_Event press, letGo;
    } rows[] = {
        {joy(SDL_JOYHATMOTION, 0, SDL_HAT_RIGHT), joy(SDL_JOYHATMOTION, 0, 0)},
        {joy(SDL_JOYAXISMOTION, 0, 30000), joy(SDL_JOYAXISMOTION, 0, 3000)},
    };
    for (const auto& row : rows) {
        padReset(PAD_LAYOUT_RAW);
        padFilter(row.press, 1000);
        EXPECT_EQ(takeAll(1000), "right");
        EXPECT_EQ(takeAll(1099), "");
        EXPECT_EQ(padWakeBy(1099, 5000), 1100u);
        EXPECT_EQ(takeAll(1100), "right");
        EXPECT_EQ(takeAll(1179), "");
        EXPECT_EQ(takeAll(1180), "right");
        padFilter(row.letGo, 1200);
        EXPECT_EQ(takeAll(2000), "");
        EXPECT_EQ(padWakeBy(2000, 5000), 5000u);
    }
    padReset(PAD_LAYOUT_RAW);
    padFilter(joy(SDL_JOYAXISMOTION, 1, -30000), 0);
    padFilter(joy(SDL_JOYAXISMOTION, 0, 31000), 50);  // further right than up
    EXPECT_EQ(takeAll(60), "up right");
    padFilter(joy(SDL_JOYBUTTONDOWN, 0), 100);
    EXPECT_EQ(takeAll(100), "return");
    padFilter(joy(SDL_JOYAXISMOTION, 1, 0), 110);  // still right: no new press
    padFilter(joy(SDL_JOYAXISMOTION, 0, 0), 110);
    EXPECT_EQ(takeAll(900), "") << "the held A button repeated";
}

// An unplugged pad pauses like a lost focus and its held direction stops; the next key
// (or the pad plugged in again) ends the pause and does nothing else.
TEST(PadInput, UnpluggedPadPausesUntilAKey) {
    SDL_Event key = {};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_LEFT;
    padReset(PAD_LAYOUT_RAW);
    padFilter(joy(SDL_JOYHATMOTION, 0, SDL_HAT_UP), 0);
    EXPECT_EQ(takeAll(0), "up");
    padUnplugged();
    EXPECT_EQ(takeAll(500), "pause");
    EXPECT_FALSE(padFilter(key, 600));
    EXPECT_EQ(takeAll(600), "focus");
    EXPECT_TRUE(padFilter(key, 700)) << "keys after the pause are the game's again";
    padUnplugged();
    padPluggedIn();
    EXPECT_EQ(takeAll(800), "pause focus");
    padPluggedIn();
    EXPECT_EQ(takeAll(900), "");
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
