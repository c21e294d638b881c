#include "drums.hpp"

#include <cmath>

namespace {

constexpr double kDt = 1.0 / kSampleRate;

// Short linear ramp so no hit starts with a click.
double onset(double t) { return std::min(1.0, t / 0.0008); }

void emit(StereoBuffer& out, long long pos, float v, PanGains g) { out.add(pos, v * g.left, v * g.right); }

void kick(long long start, float vel, PanGains g, StereoBuffer& out, Rng& rng) {
    const long long n = static_cast<long long>(secondsToFrames(0.32));
    double phase = 0.0;
    OnePole clickTone;
    clickTone.setLowpass(2500.0);
    for (long long i = 0; i < n; ++i) {
        const double t = i * kDt;
        phase += (46.0 + 105.0 * std::exp(-t / 0.028)) * kDt;
        const double body = std::sin(2.0 * M_PI * phase) * std::exp(-t / 0.11);
        const double click = clickTone.lowpass(rng.noise()) * std::exp(-t / 0.003) * 0.6;
        const double tail = 1.0 - static_cast<double>(i) / n;  // reach zero at the end
        const double v = std::tanh(1.6 * (body + click)) / std::tanh(1.6);
        emit(out, start + i, static_cast<float>(v * onset(t) * tail * vel), g);
    }
}

void snare(long long start, float vel, PanGains g, StereoBuffer& out, Rng& rng) {
    const long long n = static_cast<long long>(secondsToFrames(0.22));
    Svf rattle;
    rattle.set(3200.0, 0.6);
    double phase = 0.0;
    for (long long i = 0; i < n; ++i) {
        const double t = i * kDt;
        phase += (175.0 + 40.0 * std::exp(-t / 0.01)) * kDt;
        const double tone = std::sin(2.0 * M_PI * phase) * std::exp(-t / 0.045) * 0.55;
        const double noise = rattle.process(rng.noise()).band * std::exp(-t / 0.06) * 1.1;
        const double tail = 1.0 - static_cast<double>(i) / n;
        emit(out, start + i, static_cast<float>((tone + noise) * onset(t) * tail * vel), g);
    }
}

void hat(bool open, long long start, float vel, PanGains g, StereoBuffer& out, Rng& rng) {
    const double decay = open ? 0.075 : 0.014;
    const long long n = static_cast<long long>(secondsToFrames(open ? 0.28 : 0.07));
    // A band rather than a plain high-pass keeps hats from sounding shrill over long play.
    Svf band;
    band.set(7200.0, 1.2);
    for (long long i = 0; i < n; ++i) {
        const double t = i * kDt;
        const double tail = 1.0 - static_cast<double>(i) / n;
        const double v = band.process(rng.noise()).band * std::exp(-t / decay) * 0.5;
        emit(out, start + i, static_cast<float>(v * onset(t) * tail * vel), g);
    }
}

}  // namespace

void renderDrum(Drum drum, long long start, float velocity, float pan, StereoBuffer& out, Rng& rng) {
    const PanGains g = panGains(pan);
    switch (drum) {
        case Drum::Kick: kick(start, velocity, g, out, rng); break;
        case Drum::Snare: snare(start, velocity, g, out, rng); break;
        case Drum::ClosedHat: hat(false, start, velocity, g, out, rng); break;
        case Drum::OpenHat: hat(true, start, velocity, g, out, rng); break;
    }
}
