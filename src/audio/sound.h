// Effects and music through SDL_mixer; a volume of 0 switches that kind off.
#pragma once

#include <SDL_mixer.h>

enum EffectSlot { EFFECT_STEP = 1, EFFECT_DEATH = 2, EFFECT_SECTOR = 3, EFFECT_HEART = 4, EFFECT_BONUS = 5 };

// Start-up: opens the mixer and loads what the volumes ask for. Without a sound device it says
// so on stderr and the session stays silent.
void openAudio();

// Exit: frees effects, closes the mixer, frees the tracks, in that order.
void closeAudio();

// Silences effects and music while a replay runs through what is not worth watching.
void muteAudio(bool muted);
