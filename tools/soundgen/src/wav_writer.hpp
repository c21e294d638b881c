// Canonical 44-byte-header PCM WAV.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> encodeWav(const std::vector<int16_t>& interleaved, int channels, int sampleRate);
// Throws std::runtime_error when the file cannot be written.
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
