#include "audio_buffer.hpp"

#include <algorithm>
#include <cmath>

void StereoBuffer::add(long long pos, float l, float r) {
    const long long n = static_cast<long long>(frames());
    if (n == 0) return;
    if (circular) {
        pos %= n;
        if (pos < 0) pos += n;
    } else if (pos < 0 || pos >= n) {
        return;
    }
    left[static_cast<std::size_t>(pos)] += l;
    right[static_cast<std::size_t>(pos)] += r;
}

void StereoBuffer::mixIn(const StereoBuffer& other, float gain) {
    const std::size_t n = std::min(frames(), other.frames());
    for (std::size_t i = 0; i < n; ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

PanGains panGains(float pan) {
    const double angle = (std::clamp(pan, -1.f, 1.f) + 1.0) * M_PI / 4.0;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
}

std::size_t secondsToFrames(double seconds) { return static_cast<std::size_t>(std::lround(seconds * kSampleRate)); }

float peakOf(const StereoBuffer& buf) {
    float peak = 0.f;
    for (std::size_t i = 0; i < buf.frames(); ++i)
        peak = std::max({peak, std::fabs(buf.left[i]), std::fabs(buf.right[i])});
    return peak;
}

void normalisePeak(StereoBuffer& buf, double peakDbfs) {
    const float peak = peakOf(buf);
    if (peak <= 0.f) return;
    const float gain = static_cast<float>(std::pow(10.0, peakDbfs / 20.0) / peak);
    for (std::size_t i = 0; i < buf.frames(); ++i) {
        buf.left[i] *= gain;
        buf.right[i] *= gain;
    }
}

static float fadeCurve(std::size_t i, std::size_t n) {
    return static_cast<float>(0.5 - 0.5 * std::cos(M_PI * static_cast<double>(i) / n));
}

void fadeIn(StereoBuffer& buf, std::size_t frames) {
    frames = std::min(frames, buf.frames());
    for (std::size_t i = 0; i < frames; ++i) {
        const float g = fadeCurve(i, frames);
        buf.left[i] *= g;
        buf.right[i] *= g;
    }
}

void fadeOut(StereoBuffer& buf, std::size_t frames) {
    frames = std::min(frames, buf.frames());
    const std::size_t n = buf.frames();
    for (std::size_t k = 0; k < frames; ++k) {
        const float g = fadeCurve(k, frames);  // k counts back from the last frame
        buf.left[n - 1 - k] *= g;
        buf.right[n - 1 - k] *= g;
    }
}

static int16_t toSample(float x) {
    const long v = std::lround(static_cast<double>(x) * 32767.0);
    return static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
}

std::vector<int16_t> toPcm16(const StereoBuffer& buf) {
    std::vector<int16_t> out(buf.frames() * 2);
    for (std::size_t i = 0; i < buf.frames(); ++i) {
        out[2 * i] = toSample(buf.left[i]);
        out[2 * i + 1] = toSample(buf.right[i]);
    }
    return out;
}
