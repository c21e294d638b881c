#include "abyss.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "noise.hpp"
#include "palette.hpp"

namespace {
double smoothstep(double a, double b, double x) {
    double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

uint8_t to8(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }
}  // namespace

Image abyss_field(int w, int h, int tile, uint32_t seed, int stars) {
    std::vector<double> r(static_cast<size_t>(w) * h), g(r.size()), b(r.size());
    const double big = std::max(w, h) / 2.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double depth = fractal_noise(x, y, big, 3, tile, seed);
            double mist = fractal_noise(x + 37, y + 11, big / 2, 4, tile, seed + 50);
            Rgb c = mix(pal::abyss_deep, pal::abyss, smoothstep(0.25, 0.75, depth));
            c = mix(c, pal::abyss_mist, 0.75 * smoothstep(0.5, 0.85, mist) * (0.5 + depth));
            size_t i = static_cast<size_t>(y) * w + x;
            r[i] = c.r;
            g[i] = c.g;
            b[i] = c.b;
        }
    // soft stars; distances wrap when tiling so stars may straddle the seams
    for (int s = 0; s < stars; ++s) {
        double sx = hash01(s, 1, seed) * w, sy = hash01(s, 2, seed) * h;
        double rad = 0.7 + 1.1 * std::pow(hash01(s, 3, seed), 3.0);
        double lum = 0.35 + 0.65 * hash01(s, 4, seed);
        int reach = static_cast<int>(std::ceil(rad * 3));
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                int px = static_cast<int>(std::floor(sx)) + dx, py = static_cast<int>(std::floor(sy)) + dy;
                if (tile > 0) {
                    px = (px % w + w) % w;
                    py = (py % h + h) % h;
                } else if (px < 0 || py < 0 || px >= w || py >= h) {
                    continue;
                }
                double ddx = std::floor(sx) + dx + 0.5 - sx, ddy = std::floor(sy) + dy + 0.5 - sy;
                double k = lum * std::exp(-(ddx * ddx + ddy * ddy) / (2 * rad * rad * 0.45));
                size_t i = static_cast<size_t>(py) * w + px;
                r[i] += (pal::star.r - r[i]) * k;
                g[i] += (pal::star.g - g[i]) * k;
                b[i] += (pal::star.b - b[i]) * k;
            }
    }
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = static_cast<size_t>(y) * w + x;
            uint8_t* p = img.at(x, y);
            p[0] = to8(r[i]);
            p[1] = to8(g[i]);
            p[2] = to8(b[i]);
            p[3] = 255;
        }
    return img;
}
