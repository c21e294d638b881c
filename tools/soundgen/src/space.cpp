#include "space.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "synth.hpp"

namespace {

class DelayLine {
   public:
    explicit DelayLine(std::size_t length) : buf_(std::max<std::size_t>(length, 1), 0.f) {}
    float read() const { return buf_[pos_]; }
    void write(float x) {
        buf_[pos_] = x;
        pos_ = (pos_ + 1) % buf_.size();
    }

   private:
    std::vector<float> buf_;
    std::size_t pos_ = 0;
};

// Feeds every frame through proc; on a circular buffer the first lap only warms the state.
template <class Proc>
void runStereo(StereoBuffer& buf, Proc&& proc) {
    const int laps = buf.circular ? 2 : 1;
    for (int lap = 0; lap < laps; ++lap) {
        const bool keep = lap == laps - 1;
        for (std::size_t i = 0; i < buf.frames(); ++i) {
            float l = buf.left[i], r = buf.right[i];
            proc(l, r);
            if (keep) {
                buf.left[i] = l;
                buf.right[i] = r;
            }
        }
    }
}

class Comb {
   public:
    Comb(std::size_t length, float feedback, float damp) : line_(length), fb_(feedback), damp_(damp) {}
    float process(float x) {
        const float y = line_.read();
        store_ = y * (1.f - damp_) + store_ * damp_;
        line_.write(x + store_ * fb_);
        return y;
    }

   private:
    DelayLine line_;
    float fb_, damp_, store_ = 0.f;
};

class Allpass {
   public:
    explicit Allpass(std::size_t length) : line_(length) {}
    float process(float x) {
        const float b = line_.read();
        line_.write(x + b * 0.5f);
        return b - x;
    }

   private:
    DelayLine line_;
};

// Freeverb-style tank, delay lengths scaled to 22050 Hz; spread decorrelates the sides.
class Tank {
   public:
    explicit Tank(std::size_t spread)
        : combs_{Comb(558 + spread, 0.8f, 0.3f), Comb(594 + spread, 0.8f, 0.3f), Comb(638 + spread, 0.8f, 0.3f),
                 Comb(678 + spread, 0.8f, 0.3f)},
          allpasses_{Allpass(278 + spread), Allpass(220 + spread)} {}
    float process(float x) {
        float sum = 0.f;
        for (Comb& c : combs_) sum += c.process(x);
        for (Allpass& a : allpasses_) sum = a.process(sum);
        return sum;
    }

   private:
    std::array<Comb, 4> combs_;
    std::array<Allpass, 2> allpasses_;
};

}  // namespace

void applyDelay(StereoBuffer& buf, const DelaySettings& s) {
    DelayLine left(secondsToFrames(s.leftSeconds)), right(secondsToFrames(s.rightSeconds));
    OnePole dampL, dampR;
    dampL.setLowpass(s.dampHz);
    dampR.setLowpass(s.dampHz);
    const float fb = static_cast<float>(s.feedback), wet = static_cast<float>(s.wet);
    runStereo(buf, [&](float& l, float& r) {
        const float echoL = left.read(), echoR = right.read();
        // Ping-pong: the input enters on the left, each echo then crosses to the other side.
        left.write(0.5f * (l + r) + fb * dampR.lowpass(echoR));
        right.write(fb * dampL.lowpass(echoL));
        l += wet * echoL;
        r += wet * echoR;
    });
}

void applyReverb(StereoBuffer& buf, double wet) {
    Tank tankL(0), tankR(23);
    const float w = static_cast<float>(wet), inGain = 0.03f;
    runStereo(buf, [&](float& l, float& r) {
        const float in = (l + r) * inGain;
        l += w * tankL.process(in);
        r += w * tankR.process(in);
    });
}
