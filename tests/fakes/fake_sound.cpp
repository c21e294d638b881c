// Effects and music recorded instead of played.
#include "audio/sound.h"
#include "fakes.h"
#include "game/state.h"

void playEffect(Mix_Chunk* chunk) {
    if (game.soundVolume != 0) fake.effects.push_back(chunk);
}

void startMusic(Mix_Music* track) {
    if (game.musicVolume != 0) fake.music.push_back(track);
}
