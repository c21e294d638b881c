// Synthesised drum voices: no samples, every hit is built from sines and noise.
#pragma once
#include "audio_buffer.hpp"
#include "synth.hpp"

enum class Drum { Kick, Snare, ClosedHat, OpenHat };

void renderDrum(Drum drum, long long start, float velocity, float pan, StereoBuffer& out, Rng& rng);
