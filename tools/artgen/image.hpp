#pragma once
// Straight (not premultiplied) RGBA picture used between cairo and the writers.
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // RGBA, row-major, top row first

    Image() = default;
    Image(int width, int height);

    uint8_t* at(int x, int y) { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
    const uint8_t* at(int x, int y) const { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
    uint8_t alpha(int x, int y) const { return at(x, y)[3]; }

    // Copies a sw x sh block from src (sx, sy) to (dx, dy); clipped to both pictures.
    void blit(const Image& src, int sx, int sy, int sw, int sh, int dx, int dy);
    void fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    void set_alpha(uint8_t a);
};

// Reads an ARGB32 surface and undoes cairo's premultiplication.
Image from_surface(cairo_surface_t* s);
// Builds a premultiplied ARGB32 surface (caller destroys it).
cairo_surface_t* to_surface(const Image& img);

// Gives every pixel whose alpha is below colour_threshold the colour of the
// nearest pixels that have a reliable colour, growing outward ring by ring.
// Alpha stays as it is. Keeps nearest filtering and JPEG from showing fringes.
void bleed(Image& img, uint8_t colour_threshold = 64);

// Quarter turn counter-clockwise: source (u, v) lands at (v, w - 1 - u).
Image rotate_ccw(const Image& img);

// Replaces the alpha channel with another picture's alpha (same size).
void copy_alpha(Image& dst, const Image& alpha_src);
