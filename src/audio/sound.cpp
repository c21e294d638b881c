#include "audio/sound.h"

#include <SDL_mixer.h>

#include <cstdio>

#include "platform/paths.h"

// The volumes the mixer was opened with, and what they made it load.
static int32_t soundVolume = 0, musicVolume = 0;
static Mix_Chunk* sounds[EFFECT_SLOTS];
static Mix_Music* musicTitle;
static Mix_Music* musicGame;
// False when no sound device could be opened: the session plays in silence, and the volumes
// stay as the player set them, so sound comes back with the device.
static bool audioOpen = false;
// While a replay runs by its earlier games: effects are not started at all, since a page's
// mixer runs out of channels for effects started faster than they end.
static bool effectsMuted = false;

static void loadEffect(int slot, const char* path) {
    // A missing file leaves the slot empty; playing it later reports the mixer's error.
    sounds[slot] = Mix_LoadWAV_RW(SDL_RWFromFile(nativePath(path).text, "rb"), 1);
}

static void loadTrack(Mix_Music*& track, const char* path) { track = Mix_LoadMUS(nativePath(path).text); }

void openAudio(int32_t sound, int32_t music) {
    soundVolume = sound;
    musicVolume = music;
    if (soundVolume == 0 && musicVolume == 0) return;
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 2048) == -1) {
        fprintf(stderr, "Mix_OpenAudio: %s\nPlaying without sound.\n", SDL_GetError());
        return;
    }
    audioOpen = true;
    if (soundVolume != 0) {
        loadEffect(EFFECT_STEP, "data\\sample.wav");
        loadEffect(EFFECT_DEATH, "data\\die.wav");
        loadEffect(EFFECT_SECTOR, "data\\sector.wav");
        loadEffect(EFFECT_HEART, "data\\heart.wav");
        loadEffect(EFFECT_BONUS, "data\\bonus.wav");
        Mix_AllocateChannels(16);
        Mix_Volume(-1, soundVolume);
    }
    if (musicVolume != 0) {
        loadTrack(musicTitle, "data\\dance.ogg");
        loadTrack(musicGame, "data\\game.ogg");
        Mix_VolumeMusic(musicVolume);
    }
}

void closeAudio() {
    if (!audioOpen) return;
    audioOpen = false;
    if (soundVolume != 0)
        for (int slot = EFFECT_BONUS; slot >= EFFECT_STEP; --slot) Mix_FreeChunk(sounds[slot]);
    if (soundVolume != 0 || musicVolume != 0) Mix_CloseAudio();
    if (musicVolume != 0) {
        Mix_FreeMusic(musicGame);
        Mix_FreeMusic(musicTitle);
    }
}

void playEffect(EffectSlot effect) {
    if (soundVolume == 0 || !audioOpen || effectsMuted) return;
    if (Mix_PlayChannelTimed(-1, sounds[effect], 0, -1) == -1) printf("Mix_PlayChannel: %s\n", SDL_GetError());
}

void startMusic(MusicTrack track) {
    if (musicVolume == 0 || !audioOpen) return;
    if (Mix_PlayMusic(track == MUSIC_TITLE ? musicTitle : musicGame, -1) == -1)
        printf("Mix_PlayMusic: %s\n", SDL_GetError());
}

void muteAudio(bool muted) {
    effectsMuted = muted;
    if (!audioOpen) return;
    if (soundVolume != 0) Mix_Volume(-1, muted ? 0 : soundVolume);
    if (musicVolume != 0) Mix_VolumeMusic(muted ? 0 : musicVolume);
}
