// The game's two pieces of music.
#pragma once
#include "song.hpp"

Song danceSong();  // title menu: C major, friendly, 116 bpm
Song gameSong();   // in play: A minor, driving, 130 bpm
