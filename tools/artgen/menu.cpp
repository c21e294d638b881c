// Title menu: background scene, the twelve labels and the items & score page.
#include <cmath>
#include <string>
#include <vector>

#include "abyss.hpp"
#include "canvas.hpp"
#include "families.hpp"
#include "figures.hpp"
#include "items.hpp"
#include "jpeg_writer.hpp"
#include "noise.hpp"
#include "pages.hpp"
#include "palette.hpp"
#include "stone.hpp"
#include "text.hpp"
#include "ui.hpp"

namespace {

constexpr double kRow = 600.0 / 13.2;  // 45.4545: twelve label rows share the top of the picture
const char* const kLabels[6] = {"RESUME", "NEW GAME", "CONTROLS", "HOW TO PLAY", "ITEMS & SCORE", "QUIT"};

void tile_shadow(cairo_t* cr, double cx, double cy, double r) {
    cairo_pattern_t* g =
        cairo_pattern_create_radial(cx + r * 0.25, cy + r * 0.35, r * 0.5, cx + r * 0.25, cy + r * 0.35, r * 1.35);
    cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, 0);
    cairo_new_path(cr);
    cairo_arc(cr, cx + r * 0.25, cy + r * 0.35, r * 1.35, 0, 2 * M_PI);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

enum class Cell { Tile, Crumbling, Goal, Hole };
struct Placed {
    double cx, cy, r;
    Cell kind;
    int item;  // 0 none, 1 heart, 2 coin, 3+n figure n
};

void draw_placed(cairo_t* cr, const Placed& p, uint32_t seed) {
    if (p.kind == Cell::Hole) return;
    tile_shadow(cr, p.cx, p.cy, p.r);
    if (p.kind == Cell::Goal)
        draw_goal_tile(cr, p.cx, p.cy, p.r);
    else if (p.kind == Cell::Crumbling)
        draw_crumbling_disc(cr, p.cx, p.cy, p.r, seed);
    else
        draw_stone_disc(cr, p.cx, p.cy, p.r, seed);
    double s = 32;
    if (p.item == 1) draw_heart(cr, p.cx - s / 2, p.cy - s / 2, s);
    if (p.item == 2) draw_coin(cr, p.cx - s / 2, p.cy - s / 2, s);
    if (p.item >= 3) draw_figure(cr, p.cx - 20, p.cy - 20, 40, p.item - 3);
}

// Two islands of the board floating either side of the menu plate.
void scene(cairo_t* cr) {
    const double P = 96;
    std::vector<Placed> v = {
        // left island
        {52, 262, 44, Cell::Tile, 0},
        {52 + P, 262, 36, Cell::Tile, 2},
        {52 + 2 * P, 262, 20, Cell::Tile, 0},
        {52, 262 + P, 40, Cell::Tile, 3},
        {52 + P, 262 + P, 42, Cell::Crumbling, 0},
        {52 + 2 * P, 262 + P, 30, Cell::Tile, 0},
        {52, 262 + 2 * P, 26, Cell::Tile, 0},
        {52 + P, 262 + 2 * P, 0, Cell::Hole, 0},
        {52 + 2 * P, 262 + 2 * P, 30, Cell::Tile, 1},
        // right island
        {556, 262, 30, Cell::Tile, 0},
        {556 + P, 262, 44, Cell::Tile, 4},
        {556 + 2 * P, 262, 38, Cell::Tile, 0},
        {556, 262 + P, 44, Cell::Tile, 1},
        {556 + P, 262 + P, 16, Cell::Tile, 0},
        {556 + 2 * P, 262 + P, 42, Cell::Goal, 5},
        {556, 262 + 2 * P, 0, Cell::Hole, 0},
        {556 + P, 262 + 2 * P, 42, Cell::Crumbling, 0},
        {556 + 2 * P, 262 + 2 * P, 34, Cell::Tile, 2},
    };
    for (size_t i = 0; i < v.size(); ++i) draw_placed(cr, v[i], 11 + static_cast<uint32_t>(i));
}

void title(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 400, 112);
    cairo_scale(cr, 330, 95);
    cairo_pattern_t* glow = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    add_stop(glow, 0, pal::abyss_glow, 0.55);
    add_stop(glow, 1, pal::abyss_glow, 0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    cairo_restore(cr);

    TextStyle st;
    st.fill = pal::gold_hi;
    st.fill_bottom = pal::gold_lo;
    st.outline = 7;
    st.outline_col = pal::gold_dark;
    st.shadow = 6;
    st.shadow_alpha = 0.75;
    st.tracking = 6;
    double px = fit_size(cr, Face::SerifBold, "ZEMBRAK", 600, 118, st.tracking);
    use_font(cr, Face::SerifBold, px);
    draw_text_mid(cr, "ZEMBRAK", 400, 110, Align::Centre, st);
    // thin dark line inside the gold edge
    TextStyle inner = st;
    inner.outline = 2.5;
    inner.outline_col = pal::ink_dark;
    inner.shadow = 0;
    draw_text_mid(cr, "ZEMBRAK", 400, 110, Align::Centre, inner);

    TextStyle sub;
    sub.fill = sub.fill_bottom = pal::text_light;
    sub.shadow = 2;
    sub.tracking = 1.5;
    use_font(cr, Face::Serif, 20);
    draw_text_mid(cr, "a race across a crumbling world", 400, 196, Align::Centre, sub);
    ornament_rule(cr, 210, 590, 218);
}

void hint(cairo_t* cr) {
    TextStyle key;
    key.fill = pal::gold_hi;
    key.fill_bottom = pal::gold;
    key.shadow = 2;
    TextStyle word = key;
    word.fill = word.fill_bottom = pal::text_light;
    use_font(cr, Face::SansBold, 18);
    struct Part {
        std::string s;
        const TextStyle* st;
    };
    const Part parts[] = {
        {"\u2191 \u2193", &key}, {" / ", &word}, {"D-pad", &key}, {"  choose", &word}, {"     \u00b7     ", &word},
        {"Enter", &key},         {" / ", &word}, {"A", &key},     {" / ", &word},      {"OK", &key},
        {"  select", &word}};
    double w = 0;
    for (const Part& p : parts) w += text_width(cr, p.s);
    double x = 400 - w / 2;
    for (const Part& p : parts) {
        draw_text_mid(cr, p.s, x, 568, Align::Left, *p.st);
        x += text_width(cr, p.s);
    }
}

// Plate behind the label column (296..492 x 252..525); its inside is exactly the label colour.
void label_plate(cairo_t* cr) {
    cairo_new_path(cr);
    rounded_rect(cr, 274, 234, 240, 310, 6);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_save(cr);
    cairo_translate(cr, 6, 8);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 278, 238, 232, 302);
    set_rgb(cr, pal::plate);
    cairo_fill(cr);
    gold_frame(cr, 278, 238, 232, 302);
}

// Screen frame: plate-coloured margin so the shared column 799 and row 599 match the neighbours.
void screen_frame(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 0, 800, 600);
    cairo_rectangle(cr, 796, 4, -792, 592);
    set_rgb(cr, pal::plate);
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 4.5, 4.5, 791, 591);
    set_rgb(cr, pal::gold_lo);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void vignette(cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_radial(400, 330, 250, 400, 330, 560);
    cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, 0.6);
    cairo_rectangle(cr, 0, 0, 800, 600);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void labels(cairo_t* cr) {
    const double x0 = 799, w = 196, cx = x0 + w / 2;
    double px = 40;
    for (const char* s : kLabels) px = std::min(px, fit_size(cr, Face::CondBold, s, 140, 22, 1.5));
    for (int k = 0; k < 12; ++k) {
        double y0 = kRow * k, y1 = kRow * (k + 1), cy = (y0 + y1) / 2;
        bool lit = k >= 6;
        TextStyle st;
        st.tracking = 1.5;
        if (lit) {
            double top = std::ceil(y0) + 4, bottom = std::floor(y1) - 4;
            cairo_new_path(cr);
            rounded_rect(cr, x0 + 4, top, w - 8, bottom - top, 5);
            cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, bottom);
            add_stop(g, 0, pal::gold_hi);
            add_stop(g, 0.5, pal::gold);
            add_stop(g, 1, pal::gold_lo);
            cairo_set_source(cr, g);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(g);
            set_rgb(cr, pal::gold_dark);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            st.fill = st.fill_bottom = pal::ink_dark;
            // pointers either side
            for (int side = -1; side <= 1; side += 2) {
                double tip = cx + side * 80, back = cx + side * 88;
                cairo_new_path(cr);
                cairo_move_to(cr, tip, cy);
                cairo_line_to(cr, back, cy - 6);
                cairo_line_to(cr, back, cy + 6);
                cairo_close_path(cr);
                set_rgb(cr, pal::plate);
                cairo_fill(cr);
            }
        } else {
            st.fill = pal::text_light;
            st.fill_bottom = mix(pal::text_light, pal::gold, 0.6);
            st.shadow = 2;
            st.shadow_alpha = 0.9;
        }
        use_font(cr, Face::CondBold, px);
        draw_text_mid(cr, kLabels[k % 6], cx, cy, Align::Centre, st);
    }
}

}  // namespace

void make_menu(const OutDir& out) {
    Canvas c(1024, 1024);
    cairo_t* cr = c.cr();
    set_rgb(cr, pal::plate);
    cairo_paint(cr);

    paint_image(cr, abyss_field(800, 600, 0, 808, 260), 0, 0);
    scene(cr);
    vignette(cr);
    title(cr);
    label_plate(cr);
    hint(cr);
    screen_frame(cr);

    // labels overwrite column 799 (plate colour on both sides), then the page below
    cairo_rectangle(cr, 799, 0, 225, 12 * kRow + 1);
    set_rgb(cr, pal::plate);
    cairo_fill(cr);
    labels(cr);
    draw_items_page(cr, 0, 599, 747, 354);
    write_jpeg(out("menu.jpg"), c.image());
}
