#include "bmp_writer.hpp"

#include <fstream>
#include <stdexcept>

namespace {

void put16(std::vector<uint8_t>& b, unsigned v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xff);
}

int padded_row(int bytes) { return (bytes + 3) & ~3; }

std::vector<uint8_t> headers(int w, int h, int bits, uint32_t palette_entries) {
    const uint32_t offset = 14 + 40 + palette_entries * 4;
    const uint32_t image_bytes = static_cast<uint32_t>(padded_row(w * bits / 8)) * h;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + image_bytes);
    put32(b, 0);  // reserved
    put32(b, offset);
    put32(b, 40);
    put32(b, static_cast<uint32_t>(w));
    put32(b, static_cast<uint32_t>(h));  // positive height: bottom-up rows
    put16(b, 1);
    put16(b, bits);
    put32(b, 0);  // BI_RGB
    put32(b, image_bytes);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, palette_entries);
    put32(b, 0);
    return b;
}

}  // namespace

std::vector<uint8_t> encode_bmp24(const Image& img) {
    std::vector<uint8_t> b = headers(img.w, img.h, 24, 0);
    const int pad = padded_row(img.w * 3) - img.w * 3;
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x) {
            const uint8_t* p = img.at(x, y);
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        b.insert(b.end(), pad, 0);
    }
    return b;
}

std::vector<uint8_t> encode_bmp8_alpha(const Image& img) {
    std::vector<uint8_t> b = headers(img.w, img.h, 8, 256);
    for (int i = 0; i < 256; ++i) {
        uint8_t g = static_cast<uint8_t>(i);
        b.insert(b.end(), {g, g, g, 0});
    }
    const int pad = padded_row(img.w) - img.w;
    for (int y = img.h - 1; y >= 0; --y) {
        for (int x = 0; x < img.w; ++x) b.push_back(img.alpha(x, y));
        b.insert(b.end(), pad, 0);
    }
    return b;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot write " + path);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("write failed: " + path);
}

void write_bmp24(const std::string& path, const Image& img) { write_file(path, encode_bmp24(img)); }

void write_mask(const std::string& path, const Image& img) { write_file(path, encode_bmp8_alpha(img)); }
