// Effects and music through SDL_mixer; a volume of 0 switches that kind off.
#pragma once

#include <cstdint>

enum EffectSlot { EFFECT_STEP = 1, EFFECT_DEATH = 2, EFFECT_SECTOR = 3, EFFECT_HEART = 4, EFFECT_BONUS = 5 };
const int EFFECT_SLOTS = 6;

enum MusicTrack { MUSIC_TITLE, MUSIC_GAME };

// Start-up: opens the mixer and loads what the volumes (the settings') ask for. Without a sound
// device it says so on stderr and the session stays silent.
void openAudio(int32_t soundVolume, int32_t musicVolume);

// Exit: frees effects, closes the mixer, frees the tracks, in that order.
void closeAudio();

// Once on the first free channel; prints the mixer error on failure.
void playEffect(EffectSlot effect);

// Loops until another track replaces it; prints the mixer error on failure.
void startMusic(MusicTrack track);

// Silences effects and music while a replay runs through what is not worth watching.
void muteAudio(bool muted);
