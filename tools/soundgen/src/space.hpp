// Stereo ping-pong delay and a small room reverb. On circular buffers both effects run
// over the loop twice and keep the second lap, so their tails wrap into the loop start.
#pragma once
#include "audio_buffer.hpp"

struct DelaySettings {
    double leftSeconds = 0.3, rightSeconds = 0.45;
    double feedback = 0.3;
    double wet = 0.25;
    double dampHz = 3000.0;  // echoes get darker as they repeat
};

void applyDelay(StereoBuffer& buf, const DelaySettings& settings);
void applyReverb(StereoBuffer& buf, double wet);
