#include "instruments.hpp"

#include <algorithm>
#include <cmath>

void renderNote(const Patch& p, const NoteEvent& note, StereoBuffer& out) {
    const double gateSec = static_cast<double>(note.gate) / kSampleRate;
    const long long frames = static_cast<long long>(secondsToFrames(p.amp.length(gateSec)));
    const double hz = midiToHz(note.midi);
    const double detune = std::pow(2.0, p.detuneCents / 1200.0);
    const bool twoOsc = p.detuneCents != 0.0;
    // Detuned partner starts out of phase so the two do not sum into a click.
    Oscillator osc(p.wave, p.pulseWidth), osc2(p.wave, p.pulseWidth, 0.37), sub(Wave::Sine);
    Svf filter;
    const PanGains pan = panGains(note.pan);
    const double scale = p.gain * note.velocity * (twoOsc ? 0.6 : 1.0);
    for (long long i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double vibRamp = std::clamp((t - p.vibratoDelay) / 0.15, 0.0, 1.0);
        const double vib = std::pow(2.0, p.vibratoCents * vibRamp * std::sin(2.0 * M_PI * p.vibratoHz * t) / 1200.0);
        const double f = hz * vib;
        double s = osc.next(f);
        if (twoOsc) s += osc2.next(f * detune);
        if (p.subLevel > 0.0) s += p.subLevel * sub.next(f * 0.5);
        if ((i & 15) == 0) filter.set(p.cutoffHz + p.cutoffEnvHz * std::exp(-t / p.cutoffDecay), p.resonance);
        const float v = static_cast<float>(filter.process(static_cast<float>(s)).low * p.amp.level(t, gateSec) * scale);
        out.add(note.start + i, v * pan.left, v * pan.right);
    }
}
