// Ogg Vorbis encoding through libvorbisenc.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct OggOptions {
    float quality = 0.4f;     // VBR quality
    int serial = 0x5A4D4B31;  // fixed stream serial keeps the output reproducible
    std::string title;
};

// The final granule position equals the frame count, so decoders return exactly the
// samples given here: nothing padded, which a gapless loop depends on.
std::vector<uint8_t> encodeOggVorbis(const std::vector<int16_t>& interleaved, int channels, int sampleRate,
                                     const OggOptions& options);
