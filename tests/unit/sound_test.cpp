// What a player hears: the real sound module over a recording mixer. Each effect is known by
// the size of the file it came from, so a swapped slot or a wrong name is heard as such.
#include "audio/sound.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "game/movement.h"
#include "game/rules.h"
#include "game/state.h"

namespace {

struct Mixer {
    bool opened = false;
    std::vector<int> effectVolumes;   // Mix_Volume calls
    std::vector<int> musicVolumes;    // Mix_VolumeMusic calls
    std::vector<std::string> tracks;  // loaded tracks, by name
    std::vector<long> heard;          // size of the file behind every effect played
    std::vector<std::string> played;  // tracks played, with their loop count
} mixer;

long fileSize(const char* name) {
    struct stat s;
    return stat(name, &s) == 0 ? static_cast<long>(s.st_size) : -1;
}

}  // namespace

extern "C" {
int Mix_OpenAudio(int, Uint16, int, int) { return mixer.opened = true, 0; }
void Mix_CloseAudio() { mixer.opened = false; }
int Mix_AllocateChannels(int n) { return n; }
int Mix_Volume(int, int volume) { return mixer.effectVolumes.push_back(volume), 0; }
int Mix_VolumeMusic(int volume) { return mixer.musicVolumes.push_back(volume), 0; }
Mix_Chunk* Mix_LoadWAV_RW(SDL_RWops* source, int freeSource) {
    if (source == nullptr) return nullptr;
    Mix_Chunk* chunk = new Mix_Chunk();
    chunk->alen = static_cast<Uint32>(SDL_RWseek(source, 0, RW_SEEK_END));
    if (freeSource) SDL_RWclose(source);
    return chunk;
}
void Mix_FreeChunk(Mix_Chunk* chunk) { delete chunk; }
Mix_Music* Mix_LoadMUS(const char* name) {
    mixer.tracks.push_back(name);
    return reinterpret_cast<Mix_Music*>(static_cast<intptr_t>(mixer.tracks.size()));
}
void Mix_FreeMusic(Mix_Music*) {}
int Mix_PlayChannelTimed(int, Mix_Chunk* chunk, int loops, int) {
    // An effect that repeats is heard as no file at all.
    mixer.heard.push_back(chunk && loops == 0 ? static_cast<long>(chunk->alen) : -1);
    return 0;
}
int Mix_PlayMusic(Mix_Music* track, int loops) {
    const size_t n = static_cast<size_t>(reinterpret_cast<intptr_t>(track));
    mixer.played.push_back((n >= 1 && n <= mixer.tracks.size() ? mixer.tracks[n - 1] : "?") + " " +
                           std::to_string(loops));
    return 0;
}
}

namespace {

struct SoundTest : ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(chdir(ZK_SOURCE_DIR), 0);
        resetForTest();
        mixer = Mixer();
        fake.tickStep = 16;  // the slide runs on the test clock
        game.soundVolume = 77;
        game.musicVolume = 33;
    }
    void TearDown() override { closeAudio(); }
};

// One event of play against the one sound a player hears.
TEST_F(SoundTest, EachEventPlaysItsOwnEffect) {
    const struct {
        const char* event;
        void (*happen)();
        const char* file;
    } events[] = {
        {"a step", [] { game.moveInput = DIR_RIGHT, stepPlayer(); }, "data/sample.wav"},
        {"a crossing", [] { game.playerX = 5, game.moveInput = DIR_RIGHT, stepPlayer(); }, "data/sector.wav"},
        {"a Heart",
         [] {
             game.hearts[0] = {2, 2, 1}, updateRules();
         },
         "data/heart.wav"},
        {"a Bonus",
         [] {
             game.bonuses[0] = {2, 2, 1}, updateRules();
         },
         "data/bonus.wav"},
        {"a fall", [] { game.board[2][2].stage = STAGE_HOLE, updateRules(); }, "data/die.wav"},
    };
    openAudio(game.soundVolume, game.musicVolume);
    for (const auto& e : events) {
        for (auto& column : game.board)
            for (Tile& tile : column) tile = {3, 0};
        game.sectorX = game.sectorY = 3;
        game.playerX = game.playerY = 2;
        game.lives = 4;
        game.deathTimer = 0;
        mixer.heard.clear();
        e.happen();
        ASSERT_EQ(mixer.heard.size(), 1u) << e.event;
        EXPECT_EQ(mixer.heard[0], fileSize(e.file)) << e.event << " should sound as " << e.file;
    }
}

// The volumes from the settings reach the mixer, and the music loops until replaced.
TEST_F(SoundTest, VolumesReachTheMixerAndMusicLoops) {
    openAudio(game.soundVolume, game.musicVolume);
    EXPECT_TRUE(mixer.opened);
    EXPECT_EQ(mixer.effectVolumes, std::vector<int>{77});
    EXPECT_EQ(mixer.musicVolumes, std::vector<int>{33});
    startMusic(MUSIC_TITLE);
    startMusic(MUSIC_GAME);
    EXPECT_EQ(mixer.played, (std::vector<std::string>{"data/dance.ogg -1", "data/game.ogg -1"}));
}

// A kind switched off is neither loaded nor played; with both off no device is opened.
TEST_F(SoundTest, AVolumeOfZeroSwitchesItsKindOff) {
    game.musicVolume = 0;
    openAudio(game.soundVolume, game.musicVolume);
    EXPECT_TRUE(mixer.opened);
    EXPECT_TRUE(mixer.tracks.empty());
    startMusic(MUSIC_TITLE);
    EXPECT_TRUE(mixer.played.empty());
    closeAudio();

    game.soundVolume = 0;
    mixer = Mixer();
    openAudio(game.soundVolume, game.musicVolume);
    EXPECT_FALSE(mixer.opened);
    playEffect(EFFECT_STEP);
    EXPECT_TRUE(mixer.heard.empty());
}

}  // namespace
