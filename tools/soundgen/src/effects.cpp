#include "effects.hpp"

#include <cmath>

#include "instruments.hpp"
#include "space.hpp"
#include "synth.hpp"

namespace {

constexpr double kDt = 1.0 / kSampleRate;

void finish(StereoBuffer& buf, double fadeOutSeconds) {
    normalisePeak(buf, -1.0);
    fadeIn(buf, 24);
    fadeOut(buf, secondsToFrames(fadeOutSeconds));
}

// Decaying sine partial; the stone's modes are a few of these at inharmonic ratios.
double mode(double t, double hz, double decay, double& phase) {
    phase += hz * kDt;
    return std::sin(2.0 * M_PI * phase) * std::exp(-t / decay);
}

}  // namespace

StereoBuffer makeStep() {
    StereoBuffer buf(secondsToFrames(0.075));
    Rng rng(0x70C4ull);
    Svf knock;
    knock.set(1400.0, 1.5);
    OnePole soften;
    soften.setLowpass(3000.0);
    double p1 = 0, p2 = 0, p3 = 0;
    for (std::size_t i = 0; i < buf.frames(); ++i) {
        const double t = i * kDt;
        const double drop = 1.0 + 0.12 * std::exp(-t / 0.004);  // the hit bends pitch briefly
        double v = mode(t, 480.0 * drop, 0.022, p1) + 0.45 * mode(t, 1130.0 * drop, 0.011, p2) +
                   0.2 * mode(t, 2050.0, 0.006, p3);
        v += 0.5 * knock.process(rng.noise()).band * std::exp(-t / 0.003);
        const float s = soften.lowpass(static_cast<float>(v));
        buf.left[i] = buf.right[i] = s;
    }
    finish(buf, 0.015);
    return buf;
}

StereoBuffer makeDie() {
    StereoBuffer buf(secondsToFrames(0.95));
    Rng rng(0xD1Eull);
    Oscillator tone(Wave::Triangle), edge(Wave::Pulse, 0.5);
    Svf toneFilter, wind;
    const double len = 0.95;
    for (std::size_t i = 0; i < buf.frames(); ++i) {
        const double t = i * kDt, x = t / len;
        // Exponential glide from 700 Hz down to about 50 Hz with a growing wobble.
        const double wobble = std::pow(2.0, (0.6 * x) * std::sin(2.0 * M_PI * 7.0 * t) / 12.0);
        const double hz = 700.0 * std::pow(2.0, -3.8 * x) * wobble;
        if ((i & 15) == 0) {
            toneFilter.set(3200.0 * std::pow(2.0, -3.0 * x), 0.8);
            wind.set(2200.0 * std::pow(2.0, -3.0 * x), 1.4);
        }
        const double voice = toneFilter.process(0.7f * tone.next(hz) + 0.3f * edge.next(hz)).low;
        const double whoosh = wind.process(rng.noise()).band * 0.4;
        const double env = std::min(1.0, t / 0.01) * std::pow(1.0 - x, 1.6);
        const float v = static_cast<float>((voice + whoosh) * env);
        buf.left[i] = buf.right[i] = v;
    }
    applyDelay(buf, {0.09, 0.13, 0.25, 0.25, 2000.0});
    finish(buf, 0.05);
    return buf;
}

StereoBuffer makeSector() {
    StereoBuffer buf(secondsToFrames(0.6));
    Rng rng(0x5EC7ull);
    Svf bandL, bandR;
    Oscillator body(Wave::Sine);
    const double len = 0.6;
    for (std::size_t i = 0; i < buf.frames(); ++i) {
        const double t = i * kDt, x = t / len;
        // Cutoff rises then falls with the slide; the swell peaks a little before the middle.
        const double sweep = std::sin(M_PI * std::pow(x, 0.8));
        if ((i & 15) == 0) {
            bandL.set(350.0 + 2600.0 * sweep, 2.2);
            bandR.set(370.0 + 2700.0 * sweep, 2.2);
        }
        const double env = std::pow(sweep, 1.5);
        const double hum = 0.35 * body.next(180.0 + 260.0 * sweep);
        // Independent noise per side gives the whoosh width.
        buf.left[i] = static_cast<float>((bandL.process(rng.noise()).band + hum) * env);
        buf.right[i] = static_cast<float>((bandR.process(rng.noise()).band + hum) * env);
    }
    finish(buf, 0.03);
    return buf;
}

StereoBuffer makeHeart() {
    StereoBuffer buf(secondsToFrames(0.46));
    Patch bell;
    bell.wave = Wave::Pulse;
    bell.pulseWidth = 0.25;
    bell.amp = {0.002, 0.12, 0.25, 0.12};
    bell.cutoffHz = 4200.0;
    bell.cutoffEnvHz = 3000.0;
    bell.cutoffDecay = 0.04;
    bell.gain = 0.5;
    // C major climbing two octaves; each note keeps ringing under the next.
    const int notes[] = {72, 76, 79, 84, 88, 91};
    const long long stride = static_cast<long long>(secondsToFrames(0.05));
    for (int n = 0; n < 6; ++n) {
        const long long gate = n == 5 ? static_cast<long long>(secondsToFrames(0.12)) : stride;
        const float pan = -0.4f + 0.16f * n;
        renderNote(bell, {n * stride, gate, double(notes[n]), 0.75f + 0.05f * n, pan}, buf);
        renderNote(bell, {n * stride, gate, notes[n] + 12.0, 0.25f, -pan}, buf);  // sparkle
    }
    applyDelay(buf, {0.075, 0.11, 0.2, 0.2, 4000.0});
    finish(buf, 0.06);
    return buf;
}

StereoBuffer makeBonus() {
    StereoBuffer buf(secondsToFrames(0.3));
    // Two struck metal tones a fourth apart: partials slightly off the harmonic series.
    const struct { double start, hz, decay; } strikes[] = {{0.0, 1318.5, 0.05}, {0.06, 1760.0, 0.1}};
    const double partials[][2] = {{1.0, 1.0}, {2.0, 0.4}, {3.02, 0.2}, {4.16, 0.12}};
    for (const auto& s : strikes) {
        double phases[4] = {0, 0, 0, 0};
        const long long start = static_cast<long long>(secondsToFrames(s.start));
        for (long long i = 0; start + i < static_cast<long long>(buf.frames()); ++i) {
            const double t = i * kDt;
            double v = 0.0;
            for (int k = 0; k < 4; ++k)
                v += partials[k][1] * mode(t, s.hz * partials[k][0], s.decay / (1.0 + k), phases[k]);
            v *= std::min(1.0, t / 0.001);
            buf.add(start + i, static_cast<float>(v), static_cast<float>(v));
        }
    }
    finish(buf, 0.04);
    return buf;
}
