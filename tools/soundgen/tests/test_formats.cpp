// File formats and the final conversion to 16-bit.
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>

#include "audio_buffer.hpp"
#include "check.hpp"
#include "ogg_writer.hpp"
#include "wav_writer.hpp"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, std::size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

struct MemoryFile {
    const std::vector<uint8_t>& bytes;
    std::size_t pos = 0;
};

std::size_t memRead(void* dst, std::size_t size, std::size_t count, void* src) {
    auto* m = static_cast<MemoryFile*>(src);
    const std::size_t n = std::min(size * count, m->bytes.size() - m->pos);
    std::memcpy(dst, m->bytes.data() + m->pos, n);
    m->pos += n;
    return size ? n / size : 0;
}

// Decodes a whole Ogg Vorbis stream from memory into interleaved floats.
std::vector<float> decodeOgg(const std::vector<uint8_t>& bytes, int& channels, long& rate) {
    MemoryFile mem{bytes};
    OggVorbis_File vf;
    ov_callbacks cb{memRead, nullptr, nullptr, nullptr};
    std::vector<float> out;
    if (ov_open_callbacks(&mem, &vf, nullptr, 0, cb) != 0) return out;
    const vorbis_info* vi = ov_info(&vf, -1);
    channels = vi->channels;
    rate = vi->rate;
    float** pcm;
    int section;
    long n;
    while ((n = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) out.push_back(pcm[c][i]);
    ov_clear(&vf);
    return out;
}

std::vector<int16_t> twoTones(int frames) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < frames; ++i) {
        pcm.push_back(static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440.0 * i / kSampleRate)));
        pcm.push_back(static_cast<int16_t>(12000 * std::sin(2 * M_PI * 660.0 * i / kSampleRate)));
    }
    return pcm;
}

}  // namespace

TEST(wav_header_is_canonical_pcm) {
    const std::vector<int16_t> pcm{1, -1, 32767, -32768, 0x1234, -2};
    const std::vector<uint8_t> b = encodeWav(pcm, 2, kSampleRate);
    CHECK(b.size() == 44 + 12);
    CHECK(std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "WAVEfmt ", 8) == 0);
    CHECK(le32(b, 4) == b.size() - 8);
    CHECK(le32(b, 16) == 16 && le16(b, 20) == 1 && le16(b, 22) == 2);
    CHECK(le32(b, 24) == 22050 && le32(b, 28) == 22050 * 4);
    CHECK(le16(b, 32) == 4 && le16(b, 34) == 16);
    CHECK(std::memcmp(b.data() + 36, "data", 4) == 0 && le32(b, 40) == 12);
    CHECK(le16(b, 44) == 1 && le16(b, 46) == 0xFFFF && le16(b, 50) == 0x8000 && le16(b, 52) == 0x1234);
}

TEST(pcm16_rounds_and_clamps) {
    StereoBuffer buf(3);
    buf.left = {1.5f, -1.5f, 0.5f};
    buf.right = {-1.f, 1.f, -0.25f};
    const std::vector<int16_t> pcm = toPcm16(buf);
    CHECK(pcm == (std::vector<int16_t>{32767, -32767, -32768, 32767, 16384, -8192}));
}

TEST(normalise_hits_the_requested_peak) {
    StereoBuffer buf(4);
    buf.left = {0.1f, -0.3f, 0.2f, 0.f};
    buf.right = {0.05f, 0.1f, -0.2f, 0.f};
    normalisePeak(buf, -1.0);
    CHECK_NEAR(peakOf(buf), std::pow(10.0, -1.0 / 20.0), 1e-6);
    CHECK_NEAR(buf.left[0] / buf.right[0], 2.0, 1e-5);  // one gain for both channels
}

TEST(fades_reach_exact_zero_and_leave_the_middle) {
    StereoBuffer buf(100);
    for (std::size_t i = 0; i < 100; ++i) buf.left[i] = buf.right[i] = 0.5f;
    fadeIn(buf, 10);
    fadeOut(buf, 20);
    CHECK(buf.left[0] == 0.f && buf.right[99] == 0.f);
    CHECK(buf.left[5] > 0.f && buf.left[5] < 0.5f && buf.left[85] < 0.5f);
    CHECK(buf.left[50] == 0.5f && buf.left[10] == 0.5f && buf.left[79] == 0.5f);
}

TEST(circular_buffer_wraps_and_plain_buffer_drops) {
    StereoBuffer loop(10, true), plain(10);
    loop.add(12, 1.f, 2.f);
    loop.add(-1, 3.f, 0.f);
    plain.add(12, 1.f, 1.f);
    plain.add(-1, 1.f, 1.f);
    CHECK(loop.left[2] == 1.f && loop.right[2] == 2.f && loop.left[9] == 3.f);
    CHECK(peakOf(plain) == 0.f);
}

TEST(ogg_decodes_to_exact_length_and_content) {
    const int frames = 5003;  // deliberately not a multiple of any block size
    const std::vector<int16_t> pcm = twoTones(frames);
    const std::vector<uint8_t> ogg = encodeOggVorbis(pcm, 2, kSampleRate, {0.4f, 77, "t"});
    int channels = 0;
    long rate = 0;
    const std::vector<float> dec = decodeOgg(ogg, channels, rate);
    CHECK(channels == 2 && rate == kSampleRate);
    CHECK(dec.size() == pcm.size());
    if (dec.size() != pcm.size()) return;
    double err = 0, sig = 0;
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        const double ref = pcm[i] / 32768.0;
        err += (dec[i] - ref) * (dec[i] - ref);
        sig += ref * ref;
    }
    CHECK(err < 0.01 * sig);  // lossy, but the same signal in the same channels
}

TEST(ogg_output_is_reproducible_with_fixed_serial) {
    const std::vector<int16_t> pcm = twoTones(3000);
    const std::vector<uint8_t> a = encodeOggVorbis(pcm, 2, kSampleRate, {0.4f, 0x1234567, "x"});
    const std::vector<uint8_t> b = encodeOggVorbis(pcm, 2, kSampleRate, {0.4f, 0x1234567, "x"});
    CHECK(a == b);
    CHECK(a.size() > 28 && le32(a, 14) == 0x1234567u);  // serial field of the first page
}
