#pragma once
#include <string>
#include <vector>

#include "image.hpp"

// Uncompressed BMP with a BITMAPINFOHEADER, rows bottom-up and padded to 4 bytes.
std::vector<uint8_t> encode_bmp24(const Image& img);  // RGB, alpha ignored
// 8-bit indexed BMP with a grey palette (index i = grey i); index = image alpha.
std::vector<uint8_t> encode_bmp8_alpha(const Image& img);

void write_bmp24(const std::string& path, const Image& img);
void write_mask(const std::string& path, const Image& img);

// Shared by both writers.
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);
