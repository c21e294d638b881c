#pragma once
// One palette for every picture: violet abyss, sandstone tiles, bronze walls, gold trim.
#include <cairo.h>

#include <cstdint>

struct Rgb {
    double r, g, b;
};

constexpr Rgb hex(uint32_t v) { return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0}; }

constexpr Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline void set_rgb(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

inline void add_stop(cairo_pattern_t* p, double at, Rgb c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, c.r, c.g, c.b, alpha);
}

namespace pal {
// abyss
constexpr Rgb abyss_deep = hex(0x07061a);
constexpr Rgb abyss = hex(0x151034);
constexpr Rgb abyss_mist = hex(0x3b2d78);
constexpr Rgb abyss_glow = hex(0x6a52b8);
constexpr Rgb star = hex(0xdfe4ff);
// sandstone tiles
constexpr Rgb sand_hi = hex(0xf7e2b4);
constexpr Rgb sand = hex(0xe0bd84);
constexpr Rgb sand_mid = hex(0xc99f66);
constexpr Rgb sand_lo = hex(0x8e6a40);
constexpr Rgb sand_edge = hex(0x3e2a18);
// bronze / stone walls
constexpr Rgb bronze_hi = hex(0xe2bb7c);
constexpr Rgb bronze = hex(0x9a7040);
constexpr Rgb bronze_mid = hex(0x6e4e2c);
constexpr Rgb bronze_lo = hex(0x3e2a17);
constexpr Rgb bronze_edge = hex(0x160e07);
constexpr Rgb wall_stone = hex(0x4a3a2c);
// gold trim and text
constexpr Rgb gold_hi = hex(0xfff3c0);
constexpr Rgb gold = hex(0xf2c14e);
constexpr Rgb gold_lo = hex(0xa5761c);
constexpr Rgb gold_dark = hex(0x5a3a08);
// plates behind text: menu labels, pages and banners share this flat colour
constexpr Rgb plate = hex(0x1d1738);
constexpr Rgb plate_hi = hex(0x2e2656);
constexpr Rgb ink_dark = hex(0x0c0818);
constexpr Rgb text_light = hex(0xf3e6c8);
// items and characters
constexpr Rgb heart = hex(0xe0283c);
constexpr Rgb heart_hi = hex(0xff8a8a);
constexpr Rgb heart_lo = hex(0x7a0c18);
constexpr Rgb goal_hi = hex(0x9ff5b8);
constexpr Rgb goal = hex(0x2fb866);
constexpr Rgb goal_lo = hex(0x0e5a32);
constexpr Rgb here = hex(0x38d6ff);
constexpr Rgb here_lo = hex(0x0a5a9a);
}  // namespace pal
