#pragma once
#include <string>
#include <vector>

#include "image.hpp"

// Baseline JPEG, no chroma subsampling (thin text stays crisp), alpha ignored.
std::vector<uint8_t> encode_jpeg(const Image& img, int quality = 95);
void write_jpeg(const std::string& path, const Image& img, int quality = 95);
