// Synthesis building blocks: noise, band-limited oscillators, envelopes and filters.
#pragma once
#include <cstdint>

// SplitMix64: small, seedable and identical on every platform, so output is reproducible.
class Rng {
   public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next();
    double uniform();  // [0, 1)
    float noise();     // [-1, 1)
   private:
    uint64_t state_;
};

double midiToHz(double midi);

enum class Wave { Sine, Triangle, Saw, Pulse };

class Oscillator {
   public:
    explicit Oscillator(Wave wave, double pulseWidth = 0.5, double startPhase = 0.0)
        : wave_(wave), pulseWidth_(pulseWidth), phase_(startPhase) {}
    float next(double hz);

   private:
    Wave wave_;
    double pulseWidth_;
    double phase_;
};

// Times in seconds. Decay is the time to fall (almost) to the sustain level.
struct Adsr {
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.1;
    double level(double t, double gate) const;
    double length(double gate) const { return gate + release; }
};

class OnePole {
   public:
    void setLowpass(double hz);
    float lowpass(float x);
    float highpass(float x) { return x - lowpass(x); }

   private:
    float a_ = 1.f, z_ = 0.f;
};

// Topology-preserving state-variable filter; stays stable while the cutoff moves.
class Svf {
   public:
    struct Out {
        float low, band, high;
    };
    void set(double hz, double q);
    Out process(float x);

   private:
    double k_ = 1.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0, ic1_ = 0.0, ic2_ = 0.0;
};
