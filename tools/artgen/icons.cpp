#include "icons.hpp"

#include <cmath>
#include <stdexcept>

#include "canvas.hpp"
#include "palette.hpp"
#include "stone.hpp"
#include "text.hpp"
#include "ui.hpp"

namespace {

// Violet depths lit from above, a gold rim from 48 px up, a few stars from 64 px up.
void draw_plate(cairo_t* cr, double n) {
    const double inset = n / 32.0, side = n - 2 * inset, r = n * 0.18;
    cairo_new_path(cr);
    rounded_rect(cr, inset, inset, side, side, r);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, inset, 0, n - inset);
    add_stop(g, 0, pal::abyss_mist);
    add_stop(g, 0.55, pal::abyss);
    add_stop(g, 1, pal::abyss_deep);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    if (n >= 48) {
        cairo_set_line_width(cr, n / 32.0);
        set_rgb(cr, pal::gold_lo);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    if (n < 64) return;
    // stars in the corners the tile leaves free
    const double stars[][3] = {
        {0.15, 0.14, 1.0}, {0.87, 0.17, 0.7}, {0.11, 0.80, 0.6}, {0.85, 0.87, 0.9}, {0.27, 0.09, 0.5}};
    for (const auto& s : stars) {
        cairo_arc(cr, s[0] * n, s[1] * n, n * 0.012 * (1 + s[2]), 0, 2 * M_PI);
        set_rgb(cr, pal::star, 0.6 + 0.4 * s[2]);
        cairo_fill(cr);
    }
}

}  // namespace

Image desktop_icon(int size) {
    Canvas c(size, size);
    cairo_t* cr = c.cr();
    const double n = size;
    draw_plate(cr, n);
    draw_stone_disc(cr, n / 2, n / 2, n * 0.39, 11);
    TextStyle st;
    st.fill = pal::gold;
    st.fill_bottom = pal::gold_lo;
    st.outline = std::max(1.4, n * 0.05);
    st.outline_col = pal::ink_dark;
    use_font(cr, Face::SerifBold, n * 0.64);
    draw_text_mid(cr, "Z", n / 2, n / 2, Align::Centre, st);
    return c.image();
}

void make_icons(const std::string& dir) {
    for (int size : kIconSizes) {
        Image img = desktop_icon(size);
        cairo_surface_t* s = to_surface(img);
        std::string path = dir + "/zembrak-" + std::to_string(size) + ".png";
        cairo_status_t status = cairo_surface_write_to_png(s, path.c_str());
        cairo_surface_destroy(s);
        if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path);
    }
}
