// The tile picture and the zembra atlas (logo, crumbling tile, goal, heart, bonus).
#include <cmath>

#include "abyss.hpp"
#include "bmp_writer.hpp"
#include "canvas.hpp"
#include "families.hpp"
#include "items.hpp"
#include "jpeg_writer.hpp"
#include "palette.hpp"
#include "stone.hpp"
#include "text.hpp"
#include "ui.hpp"

namespace {

constexpr uint32_t kTileSeed = 11;

// Emblem outline: a shield, flat top with rounded corners, tip at the bottom.
void shield_path(cairo_t* cr, double inset) {
    double x0 = 3 + inset, x1 = 147 - inset, y0 = 2 + inset, r = 14;
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y0 + r);
    cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 1.5 * M_PI);
    cairo_arc(cr, x1 - r, y0 + r, r, 1.5 * M_PI, 2 * M_PI);
    cairo_line_to(cr, x1, 128);
    cairo_curve_to(cr, x1, 158 - inset * 0.3, 100, 168 - inset * 0.6, 75, 183 - inset * 1.4);
    cairo_curve_to(cr, 50, 168 - inset * 0.6, x0, 158 - inset * 0.3, x0, 128);
    cairo_close_path(cr);
}

void ribbon(cairo_t* cr, double y, double h) {
    // tails folded behind the band
    for (int side = 0; side < 2; ++side) {
        double xo = side ? 150 : 0, dir = side ? -1 : 1;
        cairo_new_path(cr);
        cairo_move_to(cr, xo, y + 6);
        cairo_line_to(cr, xo + dir * 16, y + 6);
        cairo_line_to(cr, xo + dir * 16, y + h + 6);
        cairo_line_to(cr, xo, y + h + 6);
        cairo_line_to(cr, xo + dir * 6, y + 6 + h / 2);
        cairo_close_path(cr);
        set_rgb(cr, mix(pal::plate, pal::ink_dark, 0.5));
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::gold_lo);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_rectangle(cr, 9, y, 132, h);
    set_rgb(cr, pal::plate);
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 9.5, y + 0.5, 131, h - 1);
    set_rgb(cr, pal::gold);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 11.5, y + 2.5, 127, h - 5);
    set_rgb(cr, pal::gold_lo, 0.7);
    cairo_stroke(cr);
}

void draw_logo(cairo_t* cr) {
    // bronze shield with an abyss window
    shield_path(cr, 0);
    set_rgb(cr, pal::bronze_edge);
    cairo_fill(cr);
    shield_path(cr, 1.2);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, 0, 150, 185);
    add_stop(rim, 0, pal::bronze_hi);
    add_stop(rim, 0.5, pal::bronze);
    add_stop(rim, 1, pal::bronze_lo);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    shield_path(cr, 5);
    set_rgb(cr, pal::gold_dark);
    cairo_fill(cr);
    cairo_save(cr);
    shield_path(cr, 6);
    cairo_clip(cr);
    paint_image(cr, abyss_field(150, 185, 0, 77, 40), 0, 0);
    cairo_restore(cr);

    // a trail of ageing tiles leading up to the goal
    const double trail[][3] = {{31, 108, 17}, {25, 74, 12}, {33, 47, 8}, {26, 27, 5}};
    for (const auto& t : trail) draw_stone_disc(cr, t[0], t[1], t[2], kTileSeed);
    // the goal where finished characters stand (x 70..130, y 35..110)
    draw_goal_tile(cr, 100, 72, 35);

    ribbon(cr, 128, 30);
    TextStyle st;
    st.fill = pal::gold_hi;
    st.fill_bottom = pal::gold;
    st.outline = 2.5;
    st.tracking = 0.5;
    double px = fit_size(cr, Face::SerifBold, "ZEMBRAK", 122, 25, st.tracking);
    use_font(cr, Face::SerifBold, px);
    draw_text_mid(cr, "ZEMBRAK", 75, 143, Align::Centre, st);
    diamond(cr, 75, 170, 3.5);
}

}  // namespace

void make_tiles(const OutDir& out) {
    {
        Canvas c(128, 128);
        draw_stone_disc(c.cr(), 45, 45, 44.5, kTileSeed);
        Image img = c.image();
        bleed(img);
        write_bmp24(out("kruh.bmp"), img);
        write_mask(out("kruh_a.bmp"), img);
    }
    Canvas c(256, 256);
    cairo_t* cr = c.cr();
    draw_logo(cr);                                     // 0..149 x 0..184
    draw_crumbling_disc(cr, 211, 211, 42, kTileSeed);  // 166..255 x 166..255
    draw_goal_tile(cr, 212, 45, 39);                   // 168..255 x 0..89
    draw_heart(cr, 0, 224, 32);                        // 0..31 x 224..255
    draw_coin(cr, 32, 224, 32);                        // 32..63 x 224..255
    Image img = c.image();
    bleed(img);
    write_jpeg(out("zembra.jpg"), img);
    write_mask(out("zembra_a.bmp"), img);
}
