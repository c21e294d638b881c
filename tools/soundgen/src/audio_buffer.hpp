// Float stereo buffers plus the conversions every sound goes through on its way to disk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The game's mixer runs at exactly this rate, so nothing is ever resampled.
constexpr int kSampleRate = 22050;

struct StereoBuffer {
    std::vector<float> left, right;
    // A circular buffer holds one loop of music: writes past the end land at the start,
    // so note tails that cross the loop point flow into the first bar.
    bool circular = false;

    explicit StereoBuffer(std::size_t frames = 0, bool isCircular = false)
        : left(frames, 0.f), right(frames, 0.f), circular(isCircular) {}

    std::size_t frames() const { return left.size(); }
    // Adds a frame at pos: wrapped when circular, dropped when outside otherwise.
    void add(long long pos, float l, float r);
    void mixIn(const StereoBuffer& other, float gain = 1.f);
};

struct PanGains {
    float left, right;
};
// Equal-power pan, -1 = hard left, +1 = hard right.
PanGains panGains(float pan);

std::size_t secondsToFrames(double seconds);
float peakOf(const StereoBuffer& buf);
void normalisePeak(StereoBuffer& buf, double peakDbfs);
// Fades use a raised-cosine curve; the first (or last) frame becomes exactly zero.
void fadeIn(StereoBuffer& buf, std::size_t frames);
void fadeOut(StereoBuffer& buf, std::size_t frames);
// Interleaved L/R signed 16-bit, rounded and clamped.
std::vector<int16_t> toPcm16(const StereoBuffer& buf);
