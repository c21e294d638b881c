#include "synth.hpp"

#include <algorithm>
#include <cmath>

#include "audio_buffer.hpp"

uint64_t Rng::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

float Rng::noise() { return static_cast<float>(uniform() * 2.0 - 1.0); }

double midiToHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// Polynomial correction around a discontinuity; keeps saws and pulses from aliasing
// badly at our low sample rate.
static double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

float Oscillator::next(double hz) {
    const double dt = std::min(hz / kSampleRate, 0.5);
    double v = 0.0;
    switch (wave_) {
        case Wave::Sine: v = std::sin(2.0 * M_PI * phase_); break;
        case Wave::Triangle: v = 1.0 - 4.0 * std::fabs(phase_ - 0.5); break;
        case Wave::Saw: v = 2.0 * phase_ - 1.0 - polyBlep(phase_, dt); break;
        case Wave::Pulse: {
            v = phase_ < pulseWidth_ ? 1.0 : -1.0;
            v += polyBlep(phase_, dt);
            v -= polyBlep(std::fmod(phase_ + 1.0 - pulseWidth_, 1.0), dt);
            break;
        }
    }
    phase_ += dt;
    if (phase_ >= 1.0) phase_ -= 1.0;
    return static_cast<float>(v);
}

double Adsr::level(double t, double gate) const {
    auto held = [this](double x) {
        if (x < attack) return x / attack;
        x -= attack;
        if (decay <= 0.0) return sustain;
        return sustain + (1.0 - sustain) * std::exp(-4.0 * x / decay);
    };
    if (t < 0.0) return 0.0;
    if (t < gate) return held(t);
    if (release <= 0.0) return 0.0;
    const double r = (t - gate) / release;
    if (r >= 1.0) return 0.0;
    return held(gate) * (1.0 - r) * (1.0 - r);
}

void OnePole::setLowpass(double hz) { a_ = static_cast<float>(1.0 - std::exp(-2.0 * M_PI * hz / kSampleRate)); }

float OnePole::lowpass(float x) {
    z_ += a_ * (x - z_);
    return z_;
}

void Svf::set(double hz, double q) {
    hz = std::clamp(hz, 10.0, 0.45 * kSampleRate);
    const double g = std::tan(M_PI * hz / kSampleRate);
    k_ = 1.0 / std::max(q, 0.1);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

Svf::Out Svf::process(float x) {
    const double v3 = x - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(x - k_ * v1 - v2)};
}
