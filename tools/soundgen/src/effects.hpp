// The game's sound effects. Each starts and ends in silence, peaks at -1 dBFS.
#pragma once
#include "audio_buffer.hpp"

StereoBuffer makeStep();    // sample.wav: a soft stone tock for every step
StereoBuffer makeDie();     // die.wav: falling into the abyss
StereoBuffer makeSector();  // sector.wav: the view sliding to the next sector
StereoBuffer makeHeart();   // heart.wav: an extra life
StereoBuffer makeBonus();   // bonus.wav: 300 points
