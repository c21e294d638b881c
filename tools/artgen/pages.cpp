#include "pages.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "figures.hpp"
#include "items.hpp"
#include "palette.hpp"
#include "stone.hpp"
#include "text.hpp"
#include "ui.hpp"

namespace {

TextStyle gold_style() {
    TextStyle st;
    st.fill = pal::gold_hi;
    st.fill_bottom = pal::gold;
    st.shadow = 1.5;
    return st;
}

TextStyle body_style() {
    TextStyle st;
    st.fill = st.fill_bottom = pal::text_light;
    return st;
}

// Plate, frame, title and rule; returns the y just below the rule.
double page_head(cairo_t* cr, double x, double y, double w, double h, const char* heading) {
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    set_rgb(cr, pal::plate);
    cairo_fill(cr);
    gold_frame(cr, x + 2, y + 2, w - 4, h - 4);
    TextStyle st = gold_style();
    st.outline = 2;
    st.tracking = 3;
    use_font(cr, Face::SerifBold, 25);
    draw_text_mid(cr, heading, x + w / 2, y + 30, Align::Centre, st);
    ornament_rule(cr, x + w * 0.2, x + w * 0.8, y + 52);
    return y + 62;
}

void press_any_key(cairo_t* cr, double cx, double cy) {
    TextStyle st = gold_style();
    st.tracking = 2;
    use_font(cr, Face::SansBold, 14);
    draw_text_mid(cr, "\u2014 PRESS ANY KEY OR BUTTON \u2014", cx, cy, Align::Centre, st);
}

// A bold gold term followed by wrapped body text; returns the y after the paragraph.
double term_paragraph(cairo_t* cr, double x, double y, double w, const std::string& term, const std::string& text,
                      double size, double line_h) {
    double indent = 0;
    if (!term.empty()) {
        use_font(cr, Face::SansBold, size);
        draw_text(cr, term, x, y, Align::Left, gold_style());
        indent = text_width(cr, term + " ");
    }
    use_font(cr, Face::Sans, size);
    // first line next to the term, later lines flush left
    std::vector<std::string> first = wrap_words(cr, text, w - indent);
    std::string head = first.empty() ? "" : first[0];
    draw_text(cr, head, x + indent, y, Align::Left, body_style());
    std::string rest = text.size() > head.size() ? text.substr(head.size()) : "";
    double yy = y;
    for (const std::string& line : wrap_words(cr, rest, w)) {
        yy += line_h;
        draw_text(cr, line, x, yy, Align::Left, body_style());
    }
    return yy + line_h;
}

void mini_cells(cairo_t* cr, double x, double y, double s) {
    for (int i = 0; i < 5; ++i) {
        double g = 0.9 * (1 - i / 4.0);
        cairo_new_path(cr);
        cairo_rectangle(cr, x + i * (s + 2), y, s, s);
        cairo_set_source_rgb(cr, 0.93, g * 0.93, 0);
        cairo_fill(cr);
        cairo_rectangle(cr, x + i * (s + 2) + 0.5, y + 0.5, s - 1, s - 1);
        set_rgb(cr, pal::ink_dark, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void arrow(cairo_t* cr, double x0, double y0, double x1, double y1, double head) {
    double a = std::atan2(y1 - y0, x1 - x0);
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1 - std::cos(a) * head * 0.8, y1 - std::sin(a) * head * 0.8);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    set_rgb(cr, pal::gold);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x1 - std::cos(a - 0.45) * head, y1 - std::sin(a - 0.45) * head);
    cairo_line_to(cr, x1 - std::cos(a + 0.45) * head, y1 - std::sin(a + 0.45) * head);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// Icons for the score rules, each in a 36 x 36 box.
void icon_step(cairo_t* cr, double x, double y) {
    draw_stone_disc(cr, x + 12, y + 19, 12, 11);
    draw_figure(cr, x + 3, y + 10, 18, 0);
    arrow(cr, x + 25, y + 19, x + 38, y + 19, 7);
}

void icon_sector(cairo_t* cr, double x, double y) {
    for (int i = 0; i < 2; ++i) {
        cairo_new_path(cr);
        cairo_rectangle(cr, x + 1 + i * 19, y + 6, 16, 24);
        cairo_set_source_rgb(cr, 0.93, i ? 0.45 : 0.8, 0);
        cairo_fill(cr);
    }
    cairo_new_path(cr);
    cairo_rectangle(cr, x + 17, y + 4, 3, 8);
    cairo_rectangle(cr, x + 17, y + 24, 3, 8);
    set_rgb(cr, pal::bronze_edge);
    cairo_fill(cr);
    arrow(cr, x + 4, y + 18, x + 33, y + 18, 7);
}

}  // namespace

void draw_items_page(cairo_t* cr, double x, double y, double w, double h) {
    double ty = page_head(cr, x, y, w, h, "ITEMS & SCORE");
    const double ix = x + 30, tx = x + 82, tw = w - 82 - 30, lh = 21;
    struct Row {
        int icon;
        const char* term;
        const char* text;
    };
    const Row rows[] = {
        {0, "Heart", "\u2014 one extra life. With 16 lives it is worth 500 points instead."},
        {1, "Bonus", "\u2014 300 points."},
        {2, "Step", "\u2014 2 \u00d7 the level of the sector. Stepping straight back earns nothing."},
        {3, "Sector",
         "\u2014 leaving a sector earns 20 \u00d7 its level, but not when you go back, nor "
         "when you leave on the same row or column you came in by."},
        {4, "Minimap", "\u2014 yellow sectors are calm, red ones fierce: their tiles age faster."},
    };
    double yy = ty + 26;
    for (const Row& r : rows) {
        double iy = yy - 23;
        switch (r.icon) {
            case 0: draw_heart(cr, ix, iy, 32); break;
            case 1: draw_coin(cr, ix, iy, 32); break;
            case 2: icon_step(cr, ix - 2, iy - 2); break;
            case 3: icon_sector(cr, ix - 2, iy - 2); break;
            default: mini_cells(cr, ix - 14, iy + 8, 10); break;
        }
        yy = term_paragraph(cr, tx, yy, tw, r.term, r.text, 16, lh) + 25;
    }
    press_any_key(cr, x + w / 2, y + h - 24);
}

void draw_controls_page(cairo_t* cr, double x, double y, double w, double h) {
    double ty = page_head(cr, x, y, w, h, "CONTROLS");
    const double kx = x + 30, tx = x + 196, kh = 30;
    double ry = ty - 2;
    // the action, and under it in gold what a pad and a touch screen use for it
    auto say = [&](const char* s, const char* pad) {
        use_font(cr, Face::Sans, 16);
        draw_text_mid(cr, s, tx, ry + kh / 2 - 9, Align::Left, body_style());
        use_font(cr, Face::Sans, 13);
        draw_text_mid(cr, pad, tx, ry + kh / 2 + 9, Align::Left, gold_style());
        ry += 42;
    };
    const char* arrows[4] = {"\u2190", "\u2191", "\u2193", "\u2192"};
    for (int i = 0; i < 4; ++i) keycap(cr, kx + i * 36, ry, 32, kh, arrows[i]);
    say("move to the next tile", "pad: D-pad, left stick \u00b7 touch: arrows, swipe");
    keycap(cr, kx, ry, 52, kh, "Esc");
    say("back to the menu", "pad: B, Back, Start \u00b7 touch: Menu");
    keycap(cr, kx, ry, 32, kh, "F");
    say("show or hide the frame rate", "pad: Y");
    keycap(cr, kx, ry, 44, kh, "Alt");
    use_font(cr, Face::SansBold, 18);
    draw_text_mid(cr, "+", kx + 56, ry + kh / 2 - 2, Align::Centre, gold_style());
    keycap(cr, kx + 68, ry, 40, kh, "F4");
    say("quit the game", "pad, touch: Quit in the menu");
    press_any_key(cr, x + w / 2, y + h - 20);
}

void draw_howto_page(cairo_t* cr, double x, double y, double w, double h) {
    double ty = page_head(cr, x, y, w, h, "HOW TO PLAY");
    // the World: 8 x 8 sectors, calm to fierce, three starts and the goal
    const double cell = 24, mx = x + 28, my = ty + 2;
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) {
            double level =
                std::min(10.0, std::abs(i - 3.5) * -1.2 + std::abs(j - 3.5) * -1.2 + 9.5 + ((i * 5 + j * 3) % 4) * 0.6);
            double g = 0.9 * (1 - level / 10.0);
            cairo_new_path(cr);
            cairo_rectangle(cr, mx + i * cell, my + j * cell, cell - 1, cell - 1);
            cairo_set_source_rgb(cr, 0.95, g * 0.95, 0.05);
            cairo_fill(cr);
        }
    cairo_new_path(cr);
    cairo_rectangle(cr, mx - 1.5, my - 1.5, 8 * cell + 2, 8 * cell + 2);
    set_rgb(cr, pal::bronze_edge);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    const double gx = mx + cell / 2, gy = my + 7.5 * cell;
    const double starts[3][2] = {
        {mx + cell / 2, my + cell / 2}, {mx + 7.5 * cell, my + cell / 2}, {mx + 7.5 * cell, my + 7.5 * cell}};
    for (const auto& s : starts) arrow(cr, s[0], s[1], gx + (s[0] - gx) * 0.18, gy + (s[1] - gy) * 0.18, 9);
    draw_goal_tile(cr, gx, gy, 13);
    for (int k = 0; k < 3; ++k) draw_figure(cr, starts[k][0] - 14, starts[k][1] - 14, 28, k);

    // ageing strip: shrinking, crumbling, gone
    const double sy = my + 8 * cell + 34;
    double sx = mx + 4;
    const double radii[4] = {15, 12, 9, 6};
    for (double r : radii) {
        draw_stone_disc(cr, sx + 15, sy, r, 11);
        sx += 36;
    }
    draw_crumbling_disc(cr, sx + 14, sy, 14, 11);
    cairo_new_path(cr);
    cairo_arc(cr, sx + 50, sy, 12, 0, 2 * M_PI);
    set_rgb(cr, pal::abyss_deep);
    cairo_fill_preserve(cr);
    set_rgb(cr, pal::gold_lo, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    TextStyle cap = body_style();
    cap.fill = cap.fill_bottom = mix(pal::text_light, pal::plate, 0.25);
    use_font(cr, Face::Sans, 14);
    draw_text_mid(cr, "age → crumble → fall", mx + 4 * cell, sy + 30, Align::Centre, cap);

    // rules
    const double tx = x + 268, tw = w - 268 - 24, lh = 21;
    const char* rules[] = {
        "Three characters take turns. Each starts in its own corner of the 8 \u00d7 8 World: top-left, "
        "top-right and bottom-right.",
        "Race to the goal tile in the bottom-left corner of the bottom-left sector.",
        "Tiles shrink as they age, then crumble and fall away.",
        "Standing on a hole or a crumbling tile costs a life. Each character has 4 spare lives.",
        "Walk off the edge of the board to cross into the next sector \u2014 unless a wall blocks the way.",
        "Redder sectors age faster.",
    };
    double yy = ty + 12;
    for (const char* r : rules) {
        diamond(cr, tx - 10, yy - 5, 3);
        yy = term_paragraph(cr, tx + 2, yy, tw, "", r, 16.5, lh) + 9;
    }
    press_any_key(cr, x + w / 2, y + h - 22);
}
