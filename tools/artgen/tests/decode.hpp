#pragma once
// Test helpers: read back what the writers produced.
#include <jpeglib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../image.hpp"

inline std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// Decodes a JPEG into an opaque Image; empty Image on failure.
inline Image decode_jpeg(const std::vector<uint8_t>& bytes) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), bytes.size());
    if (jpeg_read_header(&d, TRUE) != JPEG_HEADER_OK) return {};
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    Image img(static_cast<int>(d.output_width), static_cast<int>(d.output_height));
    std::vector<uint8_t> row(static_cast<size_t>(img.w) * 3);
    while (d.output_scanline < d.output_height) {
        int y = static_cast<int>(d.output_scanline);
        JSAMPROW rp = row.data();
        jpeg_read_scanlines(&d, &rp, 1);
        for (int x = 0; x < img.w; ++x) {
            uint8_t* p = img.at(x, y);
            p[0] = row[x * 3];
            p[1] = row[x * 3 + 1];
            p[2] = row[x * 3 + 2];
            p[3] = 255;
        }
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return img;
}

// Mean of (r + g + b) / 3 over a rectangle.
inline double mean_lum(const Image& img, int x0, int y0, int w, int h) {
    double sum = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) sum += (img.at(x, y)[0] + img.at(x, y)[1] + img.at(x, y)[2]) / 3.0;
    return sum / (w * h);
}
