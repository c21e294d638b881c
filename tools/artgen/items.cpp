#include "items.hpp"

#include <cmath>

#include "palette.hpp"

namespace {
void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

void heart_path(cairo_t* cr, double x, double y, double s) {
    // drawn in a unit box, scaled to s
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, s, s);
    cairo_new_path(cr);
    cairo_move_to(cr, 0.5, 0.92);
    cairo_curve_to(cr, 0.30, 0.74, 0.04, 0.56, 0.05, 0.33);
    cairo_curve_to(cr, 0.06, 0.14, 0.22, 0.06, 0.32, 0.07);
    cairo_curve_to(cr, 0.42, 0.08, 0.48, 0.15, 0.5, 0.23);
    cairo_curve_to(cr, 0.52, 0.15, 0.58, 0.08, 0.68, 0.07);
    cairo_curve_to(cr, 0.78, 0.06, 0.94, 0.14, 0.95, 0.33);
    cairo_curve_to(cr, 0.96, 0.56, 0.70, 0.74, 0.5, 0.92);
    cairo_close_path(cr);
    cairo_restore(cr);
}
}  // namespace

void star_path(cairo_t* cr, double cx, double cy, double r_out, double r_in) {
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        double a = -M_PI / 2 + i * M_PI / 5;
        double r = (i % 2) ? r_in : r_out;
        cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
    }
    cairo_close_path(cr);
}

void draw_goal_tile(cairo_t* cr, double cx, double cy, double r) {
    cairo_save(cr);
    // glow
    circle(cr, cx, cy, r * 1.1);
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, r * 0.85, cx, cy, r * 1.1);
    add_stop(glow, 0, pal::gold_hi, 0.85);
    add_stop(glow, 1, pal::gold, 0.0);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);

    // rim
    circle(cr, cx, cy, r);
    set_rgb(cr, pal::gold_dark);
    cairo_fill(cr);
    circle(cr, cx, cy, r - 1.5);
    cairo_pattern_t* rim = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    add_stop(rim, 0, pal::gold_hi);
    add_stop(rim, 0.5, pal::gold);
    add_stop(rim, 1, pal::gold_lo);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);

    // emerald face
    double fr = r * 0.78;
    circle(cr, cx, cy, fr);
    set_rgb(cr, pal::gold_dark);
    cairo_fill(cr);
    circle(cr, cx, cy, fr - 1.2);
    cairo_pattern_t* face = cairo_pattern_create_radial(cx - fr * 0.25, cy - fr * 0.3, fr * 0.05, cx, cy, fr);
    add_stop(face, 0, pal::goal_hi);
    add_stop(face, 0.55, pal::goal);
    add_stop(face, 1, pal::goal_lo);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    // rays behind the star
    for (int i = 0; i < 10; ++i) {
        double a = -M_PI / 2 + M_PI / 5 * (i + 0.5);
        cairo_new_path(cr);
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + std::cos(a - 0.09) * fr * 0.95, cy + std::sin(a - 0.09) * fr * 0.95);
        cairo_line_to(cr, cx + std::cos(a + 0.09) * fr * 0.95, cy + std::sin(a + 0.09) * fr * 0.95);
        cairo_close_path(cr);
        set_rgb(cr, pal::goal_hi, 0.35);
        cairo_fill(cr);
    }

    // star
    star_path(cr, cx, cy + r * 0.03, fr * 0.78, fr * 0.33);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, std::max(1.5, r * 0.07));
    set_rgb(cr, pal::gold_dark);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* sp = cairo_pattern_create_linear(cx, cy - fr * 0.8, cx, cy + fr * 0.8);
    add_stop(sp, 0, pal::gold_hi);
    add_stop(sp, 0.6, pal::gold);
    add_stop(sp, 1, pal::gold_lo);
    cairo_set_source(cr, sp);
    cairo_fill(cr);
    cairo_pattern_destroy(sp);
    // lit upper-left facets of the star
    star_path(cr, cx - r * 0.03, cy, fr * 0.42, fr * 0.18);
    set_rgb(cr, pal::gold_hi, 0.55);
    cairo_fill(cr);
    cairo_restore(cr);
}

void draw_heart(cairo_t* cr, double x, double y, double s) {
    cairo_save(cr);
    heart_path(cr, x, y, s);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, s * 0.08);
    set_rgb(cr, pal::heart_lo);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* g =
        cairo_pattern_create_radial(x + s * 0.35, y + s * 0.3, s * 0.05, x + s * 0.5, y + s * 0.5, s * 0.55);
    add_stop(g, 0, pal::heart_hi);
    add_stop(g, 0.45, pal::heart);
    add_stop(g, 1, mix(pal::heart, pal::heart_lo, 0.6));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // glint
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + s * 0.29, y + s * 0.27);
    cairo_rotate(cr, -0.6);
    cairo_scale(cr, s * 0.11, s * 0.065);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_fill(cr);
    cairo_restore(cr);
}

void draw_coin(cairo_t* cr, double x, double y, double s) {
    double cx = x + s / 2, cy = y + s / 2, r = s * 0.46;
    cairo_save(cr);
    circle(cr, cx, cy, r);
    set_rgb(cr, pal::gold_dark);
    cairo_fill(cr);
    circle(cr, cx, cy, r - s * 0.05);
    cairo_pattern_t* rim = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    add_stop(rim, 0, pal::gold_hi);
    add_stop(rim, 0.5, pal::gold);
    add_stop(rim, 1, pal::gold_lo);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    double fr = r * 0.74;
    circle(cr, cx, cy, fr);
    cairo_pattern_t* face = cairo_pattern_create_linear(cx - fr, cy - fr, cx + fr, cy + fr);
    add_stop(face, 0, pal::gold_lo);
    add_stop(face, 1, pal::gold_hi);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    circle(cr, cx, cy, fr - s * 0.035);
    set_rgb(cr, pal::gold);
    cairo_fill(cr);
    // stamped star: dark lower-right edge, light body
    star_path(cr, cx + s * 0.02, cy + s * 0.03, fr * 0.78, fr * 0.34);
    set_rgb(cr, pal::gold_dark, 0.8);
    cairo_fill(cr);
    star_path(cr, cx, cy + s * 0.01, fr * 0.78, fr * 0.34);
    set_rgb(cr, pal::gold_hi);
    cairo_fill(cr);
    // shine
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - s * 0.09, M_PI * 1.05, M_PI * 1.45);
    cairo_set_line_width(cr, s * 0.05);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
}
