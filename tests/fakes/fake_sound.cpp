// Effects and music recorded instead of played.
#include "audio/sound.h"
#include "fakes.h"
#include "game/state.h"

void playEffect(EffectSlot effect) {
    if (game.soundVolume != 0) fake.effects.push_back(effect);
}

void startMusic(MusicTrack track) {
    if (game.musicVolume != 0) fake.music.push_back(track);
}
