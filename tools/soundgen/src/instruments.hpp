// One subtractive voice, configured per instrument by a Patch.
#pragma once
#include "audio_buffer.hpp"
#include "synth.hpp"

struct Patch {
    Wave wave = Wave::Saw;
    double pulseWidth = 0.5;
    double detuneCents = 0.0;  // non-zero adds a second, detuned oscillator
    double subLevel = 0.0;     // sine one octave down, for weight in the bass
    Adsr amp;
    double cutoffHz = 2000.0;
    double cutoffEnvHz = 0.0;  // added at note start, decays away with cutoffDecay
    double cutoffDecay = 0.1;
    double resonance = 0.7;
    double vibratoCents = 0.0, vibratoHz = 5.5, vibratoDelay = 0.2;
    double gain = 0.3;
};

struct NoteEvent {
    long long start = 0;
    long long gate = 0;  // frames the key is held; the release follows
    double midi = 60.0;
    float velocity = 1.f;
    float pan = 0.f;
};

void renderNote(const Patch& patch, const NoteEvent& note, StereoBuffer& out);
