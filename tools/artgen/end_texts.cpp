// End-of-run banners plus the controls and how-to-play pages.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.hpp"
#include "families.hpp"
#include "items.hpp"
#include "jpeg_writer.hpp"
#include "pages.hpp"
#include "palette.hpp"
#include "text.hpp"
#include "ui.hpp"

namespace {

constexpr double kWidth = 608;

// Banners sit flush against each other on screen, so each keeps a plate-coloured
// margin and its own frame; text stays well inside.
void banner_plate(cairo_t* cr, double y, double h) {
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, y, kWidth, h);
    set_rgb(cr, pal::plate);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
    add_stop(g, 0, pal::plate_hi, 0.9);
    add_stop(g, 0.5, pal::plate, 0);
    add_stop(g, 1, pal::plate_hi, 0.6);
    cairo_new_path(cr);
    cairo_rectangle(cr, 3, y + 3, kWidth - 6, h - 6);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    gold_frame(cr, 2, y + 2, kWidth - 4, h - 4);
}

void strip(cairo_t* cr, double y, double h, const std::string& tail, double px) {
    banner_plate(cr, y, h);
    TextStyle light;
    light.fill = light.fill_bottom = pal::text_light;
    light.shadow = 2;
    light.tracking = 2;
    TextStyle key = light;
    key.fill = pal::gold_hi;
    key.fill_bottom = pal::gold;
    const std::string head = "PRESS ", space = "SPACE / START / GO ON", rest = " " + tail;
    use_font(cr, Face::SansBold, px);
    double w = tracked_width(cr, head + space + rest, light.tracking);
    double x = kWidth / 2 - w / 2, cy = y + h / 2;
    draw_text_mid(cr, head, x, cy, Align::Left, light);
    x += tracked_width(cr, head, light.tracking) + light.tracking;
    draw_text_mid(cr, space, x, cy, Align::Left, key);
    x += tracked_width(cr, space, key.tracking) + key.tracking;
    draw_text_mid(cr, rest, x, cy, Align::Left, light);
}

void message(cairo_t* cr, double y, double h, const std::string& text, bool success, double px) {
    banner_plate(cr, y, h);
    TextStyle st;
    if (success) {
        st.fill = pal::gold_hi;
        st.fill_bottom = pal::gold;
        st.outline_col = pal::gold_dark;
    } else {
        st.fill = hex(0xe8e4f4);
        st.fill_bottom = hex(0x9890b8);
        st.outline_col = pal::ink_dark;
    }
    st.outline = 3;
    st.shadow = 3;
    st.tracking = 1;
    use_font(cr, Face::SerifCondBold, px);
    double cy = y + h / 2;
    draw_text_mid(cr, text, kWidth / 2, cy, Align::Centre, st);
    double half = tracked_width(cr, text, st.tracking) / 2;
    for (int side = -1; side <= 1; side += 2) {
        double sx = kWidth / 2 + side * (half + 26);
        if (success) {
            star_path(cr, sx, cy + 1, 13, 5.5);
            set_rgb(cr, pal::gold_dark);
            cairo_set_line_width(cr, 2);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke_preserve(cr);
            set_rgb(cr, pal::gold);
            cairo_fill(cr);
        } else {
            diamond(cr, sx, cy, 6);
        }
    }
}

}  // namespace

void make_end_texts(const OutDir& out) {
    Canvas c(1024, 1024);
    cairo_t* cr = c.cr();
    set_rgb(cr, pal::plate);
    cairo_paint(cr);

    // one size per kind of banner, set by the longest text
    const double strip_px =
        fit_size(cr, Face::SansBold, "PRESS SPACE / START / GO ON FOR THE NEXT CHARACTER", 560, 22, 2);
    strip(cr, 0, 69, "FOR THE MENU", strip_px);
    strip(cr, 69, 68, "FOR THE NEXT CHARACTER", strip_px);
    const char* const messages[6] = {
        "THIS CHARACTER REACHED THE GOAL!", "THIS CHARACTER DID NOT REACH THE GOAL",
        "NO CHARACTER REACHED THE GOAL",    "1 CHARACTER REACHED THE GOAL",
        "2 CHARACTERS REACHED THE GOAL",    "ALL 3 CHARACTERS REACHED THE GOAL!",
    };
    double message_px = 40;
    for (const char* m : messages) message_px = std::min(message_px, fit_size(cr, Face::SerifCondBold, m, 490, 36, 1));
    for (int n = 0; n < 6; ++n) message(cr, 138 + 103 * n, 103, messages[n], n != 1 && n != 2, message_px);

    draw_controls_page(cr, 0, 756, 519, 268);

    // how-to-play is laid out landscape and stored a quarter turn counter-clockwise
    Canvas page(762, 384);
    draw_howto_page(page.cr(), 0, 0, 762, 384);
    Image turned = rotate_ccw(page.image());
    Image img = c.image();
    img.blit(turned, 0, 0, turned.w, turned.h, 610, 0);
    write_jpeg(out("konec.jpg"), img);
}
