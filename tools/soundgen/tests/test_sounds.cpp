// Effects, the delay on loops, and the voices they are built from.
#include <cmath>
#include <functional>

#include "check.hpp"
#include "effects.hpp"
#include "space.hpp"
#include "synth.hpp"

namespace {

// Zero crossings per second on one channel: a rough pitch/brightness gauge.
double crossingRate(const StereoBuffer& buf, double from, double to) {
    const std::size_t a = secondsToFrames(from), b = std::min(secondsToFrames(to), buf.frames());
    int n = 0;
    for (std::size_t i = a + 1; i < b; ++i) n += (buf.left[i - 1] < 0.f) != (buf.left[i] < 0.f);
    return n / (to - from);
}

void checkEffect(const StereoBuffer& buf, double minSeconds, double maxSeconds) {
    const double seconds = double(buf.frames()) / kSampleRate;
    CHECK(seconds >= minSeconds && seconds <= maxSeconds);
    const std::vector<int16_t> pcm = toPcm16(buf);
    CHECK(pcm[0] == 0 && pcm[1] == 0 && pcm[pcm.size() - 1] == 0 && pcm[pcm.size() - 2] == 0);
    // A few frames in, the fade-in is still gentle: no click at the start.
    for (std::size_t i = 0; i < 8; ++i) CHECK(std::abs(pcm[i]) < 3000);
    CHECK_NEAR(20.0 * std::log10(peakOf(buf)), -1.0, 0.01);
}

}  // namespace

TEST(effects_have_their_lengths_and_levels) {
    checkEffect(makeStep(), 0.06, 0.09);
    checkEffect(makeDie(), 0.8, 1.0);
    checkEffect(makeSector(), 0.55, 0.65);
    checkEffect(makeHeart(), 0.4, 0.5);
    checkEffect(makeBonus(), 0.25, 0.35);
}

TEST(die_falls_and_heart_rises) {
    const StereoBuffer die = makeDie();
    CHECK(crossingRate(die, 0.0, 0.2) > 2.0 * crossingRate(die, 0.6, 0.9));
    const StereoBuffer heart = makeHeart();
    CHECK(crossingRate(heart, 0.26, 0.34) > 1.5 * crossingRate(heart, 0.0, 0.05));
}

TEST(step_is_soft_and_short) {
    const StereoBuffer step = makeStep();
    // Most of the energy sits in the first half: a tock, not a ring.
    double early = 0, late = 0;
    for (std::size_t i = 0; i < step.frames(); ++i)
        (i < step.frames() / 2 ? early : late) += step.left[i] * step.left[i];
    CHECK(early > 10.0 * late);
    CHECK(crossingRate(step, 0.0, 0.03) < 3000.0);  // dull, not a click or hiss
}

TEST(effects_are_reproducible) {
    for (const auto& make : std::vector<std::function<StereoBuffer()>>{makeStep, makeDie, makeSector}) {
        const StereoBuffer a = make(), b = make();
        CHECK(a.left == b.left && a.right == b.right);
    }
}

TEST(delay_echo_lands_at_its_time_and_wraps_on_loops) {
    const DelaySettings d{0.1, 0.2, 0.0, 0.5, 11000.0};
    const std::size_t echoL = secondsToFrames(0.1);
    StereoBuffer plain(4000);
    plain.left[10] = 1.f;
    applyDelay(plain, d);
    CHECK(plain.left[10] == 1.f);
    CHECK(std::fabs(plain.left[10 + echoL]) > 0.1f);
    CHECK(std::fabs(plain.left[10 + echoL - 5]) < 1e-3f);
    // On a loop, an impulse just before the end echoes just after the start.
    StereoBuffer loop(4000, true);
    loop.left[3990] = 1.f;
    applyDelay(loop, d);
    const std::size_t wrapped = 3990 + echoL - 4000;
    CHECK(std::fabs(loop.left[wrapped]) > 0.1f);
    CHECK(std::fabs(loop.left[3990]) == 1.f);
}

TEST(oscillators_hold_pitch_and_range) {
    for (Wave w : {Wave::Sine, Wave::Triangle, Wave::Saw, Wave::Pulse}) {
        Oscillator osc(w);
        int crossings = 0;
        float prev = osc.next(441.0), peak = 0.f;
        for (int i = 1; i < kSampleRate; ++i) {
            const float v = osc.next(441.0);
            crossings += (prev < 0.f) != (v < 0.f);
            peak = std::max(peak, std::fabs(v));
            prev = v;
        }
        CHECK(std::abs(crossings - 2 * 441) <= 2);
        CHECK(peak <= 1.3f);
    }
}

TEST(envelope_shapes_notes) {
    const Adsr env{0.01, 0.1, 0.5, 0.2};
    CHECK_NEAR(env.level(0.005, 1.0), 0.5, 1e-9);
    CHECK_NEAR(env.level(0.9, 1.0), 0.5, 1e-3);
    CHECK(env.level(1.1, 1.0) < 0.5 && env.level(1.1, 1.0) > 0.0);
    CHECK(env.level(1.21, 1.0) == 0.0 && env.level(-0.1, 1.0) == 0.0);
    // Released during the attack, the note falls from where it was, never jumps up.
    CHECK(env.level(0.006, 0.005) <= env.level(0.005, 0.005));
}
