#include "figures.hpp"

#include <cmath>

#include "bmp_writer.hpp"
#include "canvas.hpp"
#include "families.hpp"
#include "items.hpp"
#include "noise.hpp"
#include "palette.hpp"
#include "stone.hpp"
#include "text.hpp"

namespace {

struct Look {
    Rgb cloak_hi, cloak, cloak_lo;
};

const Look kLooks[kFigureCount] = {
    {hex(0xff7a6a), hex(0xd42a2a), hex(0x6a0a10)},  // red, gold crown
    {hex(0x8ab8ff), hex(0x2a5ad8), hex(0x0c1a6a)},  // blue, white cap
    {hex(0x9af08a), hex(0x2e9a36), hex(0x0c4a14)},  // green, leaf hood with star
};

const Rgb kSkin = hex(0xf2c08c);

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
}

void nose_path(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 16, 1.5);
    cairo_line_to(cr, 21.5, 10.5);
    cairo_line_to(cr, 10.5, 10.5);
    cairo_close_path(cr);
}

void fill_grad(cairo_t* cr, Rgb hi, Rgb mid, Rgb lo, double x0, double y0, double x1, double y1) {
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
    add_stop(g, 0, hi);
    add_stop(g, 0.5, mid);
    add_stop(g, 1, lo);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void draw_head(cairo_t* cr, int who, const Look& lk) {
    cairo_set_line_width(cr, 1.0);
    if (who == 0) {  // gold crown: ring of points around a ruby
        cairo_new_path(cr);
        for (int i = 0; i < 16; ++i) {
            double a = i * M_PI / 8, r = (i % 2) ? 5.6 : 7.6;
            cairo_line_to(cr, 16 + std::cos(a) * r, 15 + std::sin(a) * r);
        }
        cairo_close_path(cr);
        set_rgb(cr, pal::gold_dark);
        cairo_stroke_preserve(cr);
        fill_grad(cr, pal::gold_hi, pal::gold, pal::gold_lo, 10, 9, 22, 21);
        cairo_new_path(cr);
        circle(cr, 16, 15, 3.6);
        set_rgb(cr, pal::gold_dark);
        cairo_stroke_preserve(cr);
        fill_grad(cr, hex(0xff9090), lk.cloak, lk.cloak_lo, 13, 12, 19, 18);
    } else if (who == 1) {  // white cap with a blue band and pom-pom
        cairo_new_path(cr);
        circle(cr, 16, 15, 7.0);
        set_rgb(cr, pal::ink_dark);
        cairo_stroke_preserve(cr);
        fill_grad(cr, hex(0xffffff), hex(0xe4e8f4), hex(0x9098b8), 10, 9, 22, 21);
        cairo_new_path(cr);
        cairo_rectangle(cr, 14.5, 8.2, 3, 13.6);
        set_rgb(cr, lk.cloak);
        cairo_fill(cr);
        circle(cr, 16, 15, 2.6);
        set_rgb(cr, pal::here);
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::ink_dark);
        cairo_stroke(cr);
    } else {  // leaf-green hood with a gold star on top
        cairo_new_path(cr);
        circle(cr, 16, 15, 7.0);
        set_rgb(cr, pal::ink_dark);
        cairo_stroke_preserve(cr);
        fill_grad(cr, hex(0xc8a070), hex(0x8a5a30), hex(0x4a2c12), 10, 9, 22, 21);
        star_path(cr, 16, 15.3, 5.4, 2.3);
        set_rgb(cr, pal::gold_dark);
        cairo_stroke_preserve(cr);
        set_rgb(cr, pal::gold);
        cairo_fill(cr);
    }
}

Rgb nose_colour(int who) {
    if (who == 0) return pal::gold_hi;
    if (who == 1) return hex(0xffffff);
    return hex(0xd8ff70);
}

}  // namespace

void figure_silhouette(cairo_t* cr) {
    cairo_new_path(cr);
    ellipse(cr, 16, 19, 12.5, 8.5);
    circle(cr, 16, 15, 7.5);
    circle(cr, 4.5, 16.5, 3.4);
    circle(cr, 27.5, 16.5, 3.4);
    nose_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void draw_figure(cairo_t* cr, double x, double y, double size, int who) {
    const Look& lk = kLooks[who];
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 32.0, size / 32.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // hands first, under the cloak edge
    cairo_new_path(cr);
    circle(cr, 4.5, 16.5, 3.4);
    circle(cr, 27.5, 16.5, 3.4);
    set_rgb(cr, pal::ink_dark);
    cairo_fill(cr);
    cairo_new_path(cr);
    circle(cr, 4.5, 16.5, 2.4);
    circle(cr, 27.5, 16.5, 2.4);
    set_rgb(cr, kSkin);
    cairo_fill(cr);

    // cloak over the shoulders
    cairo_new_path(cr);
    ellipse(cr, 16, 19, 12.5, 8.5);
    set_rgb(cr, pal::ink_dark);
    cairo_fill(cr);
    cairo_new_path(cr);
    ellipse(cr, 16, 19, 11.3, 7.3);
    fill_grad(cr, lk.cloak_hi, lk.cloak, lk.cloak_lo, 6, 12, 24, 27);
    // fold down the back
    cairo_new_path(cr);
    cairo_move_to(cr, 16, 22);
    cairo_line_to(cr, 16, 26.5);
    set_rgb(cr, lk.cloak_lo, 0.8);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);

    // nose / facing marker
    cairo_new_path(cr);
    nose_path(cr);
    set_rgb(cr, pal::ink_dark);
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 16, 3.6);
    cairo_line_to(cr, 19.8, 10);
    cairo_line_to(cr, 12.2, 10);
    cairo_close_path(cr);
    set_rgb(cr, nose_colour(who));
    cairo_fill(cr);

    // head and its gear
    cairo_new_path(cr);
    circle(cr, 16, 15, 7.5);
    set_rgb(cr, pal::ink_dark);
    cairo_fill(cr);
    draw_head(cr, who, lk);
    cairo_restore(cr);
}

Image figure_picture(int who) {
    Canvas c(32, 32);
    draw_figure(c.cr(), 0, 0, 32, who);
    Image img = c.image();
    bleed(img);
    copy_alpha(img, living_mask());
    return img;
}

Image living_mask() {
    Canvas c(32, 32);
    figure_silhouette(c.cr());
    cairo_set_source_rgb(c.cr(), 1, 1, 1);
    cairo_fill(c.cr());
    return c.image();
}

Image dying_mask() {
    Canvas c(32, 32);
    cairo_t* cr = c.cr();
    // fragments between cracks radiating from the chest, each fading differently
    const int n = 6;
    for (int i = 0; i < n; ++i) {
        double a0 = i * 2 * M_PI / n + 0.3, a1 = (i + 1) * 2 * M_PI / n + 0.3;
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, 16, 17);
        cairo_line_to(cr, 16 + std::cos(a0) * 30, 17 + std::sin(a0) * 30);
        cairo_line_to(cr, 16 + std::cos((a0 + a1) / 2) * 34, 17 + std::sin((a0 + a1) / 2) * 34);
        cairo_line_to(cr, 16 + std::cos(a1) * 30, 17 + std::sin(a1) * 30);
        cairo_close_path(cr);
        cairo_clip(cr);
        figure_silhouette(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, (i % 2) ? 0.55 : 0.8);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // open the cracks
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_set_line_width(cr, 1.6);
    for (int i = 0; i < n; ++i) {
        double a = i * 2 * M_PI / n + 0.3;
        cairo_new_path(cr);
        cairo_move_to(cr, 16, 17);
        cairo_line_to(cr, 16 + std::cos(a) * 9 + 1.5, 17 + std::sin(a) * 9);
        cairo_line_to(cr, 16 + std::cos(a) * 30, 17 + std::sin(a) * 30);
        cairo_stroke(cr);
    }
    Image img = c.image();
    // crumbling edge: knock out grains, more of them towards the rim
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            double d = std::hypot(x - 16, (y - 17) * 1.3) / 16.0;
            if (hash01(x, y, 4242) < 0.12 + 0.45 * d) img.at(x, y)[3] = 0;
        }
    return img;
}

void make_figures(const OutDir& out) {
    const char* names[kFigureCount] = {"panak.bmp", "panak1.bmp", "panak2.bmp"};
    for (int k = 0; k < kFigureCount; ++k) write_bmp24(out(names[k]), figure_picture(k));
    write_mask(out("panak_a.bmp"), living_mask());
    write_mask(out("panakd.bmp"), dying_mask());

    // window icon: a gold Z on a tile over the abyss
    Canvas c(32, 32);
    cairo_t* cr = c.cr();
    set_rgb(cr, pal::abyss);
    cairo_paint(cr);
    draw_stone_disc(cr, 16, 16, 15.5, 11);
    TextStyle st;
    st.fill = pal::gold_hi;
    st.fill_bottom = pal::gold_lo;
    st.outline = 3;
    st.outline_col = pal::gold_dark;
    use_font(cr, Face::SerifBold, 22);
    draw_text_mid(cr, "Z", 16, 16, Align::Centre, st);
    write_bmp24(out("icon.bmp"), c.image());
}
