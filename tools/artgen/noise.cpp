#include "noise.hpp"

#include <algorithm>
#include <cmath>

uint32_t hash3(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double hash01(int x, int y, uint32_t seed) { return (hash3(x, y, seed) >> 8) / 16777216.0; }

namespace {
int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}
double smooth(double t) { return t * t * (3 - 2 * t); }
}  // namespace

double value_noise(double x, double y, int period, uint32_t seed) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = smooth(x - x0), fy = smooth(y - y0);
    auto v = [&](int dx, int dy) { return hash01(wrap(x0 + dx, period), wrap(y0 + dy, period), seed); };
    double a = v(0, 0) + (v(1, 0) - v(0, 0)) * fx;
    double b = v(0, 1) + (v(1, 1) - v(0, 1)) * fx;
    return a + (b - a) * fy;
}

double fractal_noise(double x, double y, double cell, int octaves, int tile, uint32_t seed) {
    double sum = 0, norm = 0, amp = 1;
    for (int o = 0; o < octaves; ++o) {
        int period = tile > 0 ? std::max(1, static_cast<int>(std::lround(tile / cell))) : 0;
        sum += amp * value_noise(x / cell, y / cell, period, seed + o * 101);
        norm += amp;
        amp *= 0.5;
        cell /= 2;
    }
    return sum / norm;
}

cairo_surface_t* shade_surface(int w, int h, const std::function<double(int, int)>& f, double strength) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            double v = std::clamp(f(x, y), -1.0, 1.0) * strength;
            unsigned a = static_cast<unsigned>(std::lround(std::min(1.0, std::fabs(v)) * 255));
            unsigned c = v > 0 ? a : 0;  // white premultiplied = a, black = 0
            row[x] = (a << 24) | (c << 16) | (c << 8) | c;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void paint_grain(cairo_t* cr, double x, double y, int w, int h, uint32_t seed, double fine, double coarse,
                 double cell) {
    auto f = [&](int px, int py) {
        double n = (hash01(px, py, seed) - 0.5) * 2 * fine;
        double m = (fractal_noise(px, py, cell, 3, 0, seed + 7) - 0.5) * 2 * coarse;
        return n + m;
    };
    cairo_surface_t* s = shade_surface(w, h, f, 1.0);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_source_surface(cr, s, x, y);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}
