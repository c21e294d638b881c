#include "audio/sound.h"

#include <cstdio>

#include "game/state.h"
#include "platform/engine.h"
#include "platform/paths.h"

// False when no sound device could be opened: the session plays in silence, and the volumes
// stay as the player set them, so sound comes back with the device.
static bool audioOpen = false;

static void loadEffect(int slot, const char* path) {
    // A missing file leaves the slot empty; playing it later reports the mixer's error.
    game.sounds[slot] = Mix_LoadWAV_RW(SDL_RWFromFile(nativePath(path).text, "rb"), 1);
}

static void loadTrack(Mix_Music*& track, const char* path) { track = Mix_LoadMUS(nativePath(path).text); }

void openAudio() {
    if (game.soundVolume == 0 && game.musicVolume == 0) return;
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 2048) == -1) {
        fprintf(stderr, "Mix_OpenAudio: %s\nPlaying without sound.\n", SDL_GetError());
        return;
    }
    audioOpen = true;
    if (game.soundVolume != 0) {
        loadEffect(EFFECT_STEP, "data\\sample.wav");
        loadEffect(EFFECT_DEATH, "data\\die.wav");
        loadEffect(EFFECT_SECTOR, "data\\sector.wav");
        loadEffect(EFFECT_HEART, "data\\heart.wav");
        loadEffect(EFFECT_BONUS, "data\\bonus.wav");
        Mix_AllocateChannels(16);
        Mix_Volume(-1, game.soundVolume);
    }
    if (game.musicVolume != 0) {
        loadTrack(game.musicTitle, "data\\dance.ogg");
        loadTrack(game.musicGame, "data\\game.ogg");
        Mix_VolumeMusic(game.musicVolume);
    }
}

void closeAudio() {
    if (!audioOpen) return;
    audioOpen = false;
    if (game.soundVolume != 0)
        for (int slot = EFFECT_BONUS; slot >= EFFECT_STEP; --slot) Mix_FreeChunk(game.sounds[slot]);
    if (game.soundVolume != 0 || game.musicVolume != 0) Mix_CloseAudio();
    if (game.musicVolume != 0) {
        Mix_FreeMusic(game.musicGame);
        Mix_FreeMusic(game.musicTitle);
    }
}

void playEffect(Mix_Chunk* chunk) {
    if (game.soundVolume == 0 || !audioOpen) return;
    if (Mix_PlayChannelTimed(-1, chunk, 0, -1) == -1) printf("Mix_PlayChannel: %s\n", SDL_GetError());
}

void startMusic(Mix_Music* track) {
    if (game.musicVolume == 0 || !audioOpen) return;
    if (Mix_PlayMusic(track, -1) == -1) printf("Mix_PlayMusic: %s\n", SDL_GetError());
}

void muteAudio(bool muted) {
    if (!audioOpen) return;
    if (game.soundVolume != 0) Mix_Volume(-1, muted ? 0 : game.soundVolume);
    if (game.musicVolume != 0) Mix_VolumeMusic(muted ? 0 : game.musicVolume);
}
