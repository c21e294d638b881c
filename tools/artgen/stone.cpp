#include "stone.hpp"

#include <cmath>
#include <vector>

#include "canvas.hpp"
#include "noise.hpp"
#include "palette.hpp"

namespace {

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

struct Pt {
    double x, y;
};

// A jagged line from radius r0 to r1 at angle a, jittered sideways.
std::vector<Pt> crack(double cx, double cy, double a, double r0, double r1, int steps, uint32_t seed) {
    std::vector<Pt> pts;
    double nx = -std::sin(a), ny = std::cos(a);
    for (int i = 0; i <= steps; ++i) {
        double t = static_cast<double>(i) / steps;
        double r = r0 + (r1 - r0) * t;
        double j = (i == 0 || i == steps) ? 0 : (hash01(i, 3, seed) - 0.5) * 7.0;
        pts.push_back({cx + std::cos(a) * r + nx * j, cy + std::sin(a) * r + ny * j});
    }
    return pts;
}

}  // namespace

void draw_stone_disc(cairo_t* cr, double cx, double cy, double r, uint32_t seed) {
    cairo_save(cr);
    // dark rim keeps the edge crisp against the abyss
    circle(cr, cx, cy, r);
    set_rgb(cr, pal::sand_edge);
    cairo_fill(cr);

    // bevel: lit from the top-left
    circle(cr, cx, cy, r - 1.3);
    cairo_pattern_t* bevel = cairo_pattern_create_linear(cx - r * 0.7, cy - r * 0.7, cx + r * 0.7, cy + r * 0.7);
    add_stop(bevel, 0, pal::sand_hi);
    add_stop(bevel, 0.5, pal::sand_mid);
    add_stop(bevel, 1, pal::sand_lo);
    cairo_set_source(cr, bevel);
    cairo_fill(cr);
    cairo_pattern_destroy(bevel);

    // flat face, slightly domed
    double fr = r * 0.80;
    circle(cr, cx, cy, fr);
    cairo_pattern_t* face = cairo_pattern_create_radial(cx - fr * 0.3, cy - fr * 0.35, fr * 0.1, cx, cy, fr);
    add_stop(face, 0, mix(pal::sand, pal::sand_hi, 0.45));
    add_stop(face, 1, pal::sand_mid);
    cairo_set_source(cr, face);
    cairo_fill(cr);

    // face edge: shadowed top-left, caught light bottom-right (the face sits lower than the rim)
    cairo_set_line_width(cr, std::max(1.0, r * 0.035));
    cairo_pattern_t* lip = cairo_pattern_create_linear(cx - fr, cy - fr, cx + fr, cy + fr);
    add_stop(lip, 0, pal::sand_lo, 0.9);
    add_stop(lip, 1, pal::sand_hi, 0.9);
    circle(cr, cx, cy, fr);
    cairo_set_source(cr, lip);
    cairo_stroke(cr);
    cairo_pattern_destroy(lip);
    cairo_pattern_destroy(face);

    // stone grain
    int size = static_cast<int>(std::ceil(2 * r)) + 2;
    circle(cr, cx, cy, r - 1.3);
    paint_grain(cr, std::floor(cx - r) - 1, std::floor(cy - r) - 1, size, size, seed, 0.07, 0.16, r * 0.35);

    // a few soft pits so the stone does not look plastic
    for (int i = 0; i < 5; ++i) {
        double a = hash01(i, 1, seed) * 2 * M_PI, d = hash01(i, 2, seed) * fr * 0.75;
        double pr = r * (0.035 + 0.03 * hash01(i, 4, seed));
        double px = cx + std::cos(a) * d, py = cy + std::sin(a) * d;
        circle(cr, px, py, pr);
        set_rgb(cr, pal::sand_lo, 0.45);
        cairo_fill(cr);
        circle(cr, px + pr * 0.5, py + pr * 0.5, pr * 0.6);
        set_rgb(cr, pal::sand_hi, 0.35);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void draw_crumbling_disc(cairo_t* cr, double cx, double cy, double r, uint32_t seed) {
    const int pad = 6, size = static_cast<int>(std::ceil(2 * r)) + 2 * pad;
    const double lc = size / 2.0;  // disc centre in the local canvases
    Canvas whole(size, size);
    draw_stone_disc(whole.cr(), lc, lc, r, seed);

    const int n = 7;
    const double hole = r * 0.16;
    std::vector<std::vector<Pt>> cracks;
    for (int i = 0; i < n; ++i) {
        double a = (i + 0.35 * (hash01(i, 9, seed) - 0.5)) * 2 * M_PI / n - M_PI / 2;
        cracks.push_back(crack(lc, lc, a, hole, r * 1.02, 5, seed + i * 13));
        cracks.back().push_back({lc + std::cos(a) * r * 1.6, lc + std::sin(a) * r * 1.6});
    }

    for (int i = 0; i < n; ++i) {
        const auto& a = cracks[i];
        const auto& b = cracks[(i + 1) % n];
        Canvas frag(size, size);
        cairo_t* fc = frag.cr();
        auto outline = [&]() {
            cairo_new_path(fc);
            for (const Pt& p : a) cairo_line_to(fc, p.x, p.y);
            for (auto it = b.rbegin(); it != b.rend(); ++it) cairo_line_to(fc, it->x, it->y);
            cairo_close_path(fc);
        };
        outline();
        cairo_clip(fc);
        cairo_set_source_surface(fc, whole.surface(), 0, 0);
        cairo_paint(fc);
        // tilted fragments catch less light
        cairo_set_operator(fc, CAIRO_OPERATOR_ATOP);
        cairo_set_source_rgba(fc, 0, 0, 0, 0.05 + 0.22 * hash01(i, 5, seed));
        cairo_paint(fc);
        cairo_set_operator(fc, CAIRO_OPERATOR_OVER);
        cairo_reset_clip(fc);
        // open the gaps, then darken the broken faces
        outline();
        cairo_set_operator(fc, CAIRO_OPERATOR_CLEAR);
        cairo_set_line_width(fc, 3.2);
        cairo_stroke(fc);
        cairo_set_operator(fc, CAIRO_OPERATOR_ATOP);
        outline();
        set_rgb(fc, pal::sand_edge, 0.95);
        cairo_set_line_width(fc, 6.0);
        cairo_stroke(fc);

        // hairline inside the fragment
        double ma = std::atan2((a.back().y + b.back().y) / 2 - lc, (a.back().x + b.back().x) / 2 - lc);
        auto hair = crack(lc, lc, ma + 0.15 * (hash01(i, 6, seed) - 0.5), r * 0.45, r * 0.85, 3, seed + 77 + i);
        cairo_new_path(fc);
        for (const Pt& p : hair) cairo_line_to(fc, p.x, p.y);
        set_rgb(fc, pal::sand_edge, 0.55);
        cairo_set_line_width(fc, 1.0);
        cairo_stroke(fc);

        double drift = r * (0.03 + 0.03 * hash01(i, 7, seed));
        cairo_save(cr);
        cairo_set_source_surface(cr, frag.surface(), cx - lc + std::cos(ma) * drift, cy - lc + std::sin(ma) * drift);
        cairo_paint(cr);
        cairo_restore(cr);
    }
}
