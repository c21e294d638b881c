// The side panel: stone plate with the minimap well, lives box and number boxes.
#include <cmath>

#include "canvas.hpp"
#include "families.hpp"
#include "jpeg_writer.hpp"
#include "noise.hpp"
#include "palette.hpp"
#include "text.hpp"
#include "ui.hpp"

namespace {

constexpr int kW = 200, kH = 600;

void stone_body(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, 256, 1024);
    set_rgb(cr, mix(pal::wall_stone, pal::bronze_lo, 0.5));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, kW, kH);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, kW, kH);
    add_stop(g, 0, mix(pal::wall_stone, pal::bronze, 0.35));
    add_stop(g, 1, mix(pal::wall_stone, pal::bronze_lo, 0.6));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_rectangle(cr, 0, 0, kW, kH);
    paint_grain(cr, 0, 0, kW, kH, 606, 0.06, 0.22, 60);
}

void bevel_border(cairo_t* cr) {
    const Rgb ring[5] = {pal::bronze_edge, mix(pal::bronze_hi, pal::gold_hi, 0.2), pal::bronze, pal::bronze_lo,
                         pal::bronze_edge};
    for (int i = 0; i < 5; ++i) {
        cairo_rectangle(cr, i + 0.5, i + 0.5, kW - 2 * i - 1, kH - 2 * i - 1);
        set_rgb(cr, ring[i], i == 4 ? 0.5 : 1.0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void label(cairo_t* cr, const char* s, double cy) {
    TextStyle st;
    st.fill = pal::gold_hi;
    st.fill_bottom = pal::gold;
    st.shadow = 1;
    st.shadow_alpha = 0.9;
    st.tracking = 2.5;
    use_font(cr, Face::SansBold, 13);
    draw_text_mid(cr, s, kW / 2.0, cy, Align::Centre, st);
    double w = tracked_width(cr, s, st.tracking);
    diamond(cr, kW / 2.0 - w / 2 - 10, cy, 2.5);
    diamond(cr, kW / 2.0 + w / 2 + 8, cy, 2.5);
}

// A labelled box for a row of 16 px digits at rows y..y+15, up to 8 digits wide.
void number_box(cairo_t* cr, const char* name, double label_cy, double digits_y) {
    label(cr, name, label_cy);
    recessed_box(cr, 30, digits_y - 5, 140, 26, pal::plate);
}

// The whole panel with `signature` at its foot, in `fill` over `fill_bottom`.
Image draw_panel(const char* signature, Rgb fill, Rgb fill_bottom) {
    Canvas c(256, 1024);
    cairo_t* cr = c.cr();
    stone_body(cr);
    bevel_border(cr);

    // minimap well: cells 17..184, wall strips up to ~2 px beyond
    cairo_rectangle(cr, 8.5, 8.5, 184, 184);
    set_rgb(cr, pal::gold_lo);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    recessed_box(cr, 11, 11, 179, 179, pal::abyss_deep);

    // spare lives: 4 x 4 icons at 36.5 + 32 i, 219.5 + 32 j
    label(cr, "LIVES", 207);
    recessed_box(cr, 31, 215, 139, 138, pal::plate);

    number_box(cr, "SCORE", 386, 399);
    number_box(cr, "BEST", 454, 467);
    number_box(cr, "FPS", 506, 519);

    // signature at the bottom
    ornament_rule(cr, 24, 176, 558);
    TextStyle st;
    st.fill = fill;
    st.fill_bottom = fill_bottom;
    st.outline = 2;
    st.tracking = 3;
    use_font(cr, Face::SerifBold, 17);
    draw_text_mid(cr, signature, kW / 2.0, 576, Align::Centre, st);
    ornament_rule(cr, 40, 160, 592);
    return c.image();
}

}  // namespace

void make_panel(const OutDir& out) {
    Image panel = draw_panel("ZEMBRAK", pal::gold_hi, pal::gold_lo);
    // While a replay is watched the game lays this foot, which says so, over the panel's own:
    // rows 536..599 again at 616..679, below everything the panel shows (JPEG blocks of 8 rows
    // keep the two apart).
    const Image replay = draw_panel("REPLAY", pal::heart_hi, pal::heart);
    panel.blit(replay, 0, 536, kW, 64, 0, 616);
    write_jpeg(out("panel.jpg"), panel);
}
