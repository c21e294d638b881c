#include "ui.hpp"

#include <cmath>

#include "text.hpp"

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void diamond(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy - r);
    cairo_line_to(cr, cx + r, cy);
    cairo_line_to(cr, cx, cy + r);
    cairo_line_to(cr, cx - r, cy);
    cairo_close_path(cr);
    set_rgb(cr, pal::gold_dark);
    cairo_set_line_width(cr, 1);
    cairo_stroke_preserve(cr);
    set_rgb(cr, pal::gold);
    cairo_fill(cr);
}

void gold_frame(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x + 1, y + 1, w - 2, h - 2);
    cairo_set_line_width(cr, 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
    add_stop(g, 0, pal::gold_hi);
    add_stop(g, 1, pal::gold_lo);
    cairo_set_source(cr, g);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    cairo_new_path(cr);
    cairo_rectangle(cr, x + 4.5, y + 4.5, w - 9, h - 9);
    cairo_set_line_width(cr, 1);
    set_rgb(cr, pal::gold_lo, 0.8);
    cairo_stroke(cr);
    double s = 3.5;
    diamond(cr, x + 4.5, y + 4.5, s);
    diamond(cr, x + w - 4.5, y + 4.5, s);
    diamond(cr, x + 4.5, y + h - 4.5, s);
    diamond(cr, x + w - 4.5, y + h - 4.5, s);
    cairo_restore(cr);
}

void recessed_box(cairo_t* cr, double x, double y, double w, double h, Rgb fill) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    set_rgb(cr, fill);
    cairo_fill(cr);
    // shadow along top and left
    cairo_new_path(cr);
    cairo_move_to(cr, x, y + h);
    cairo_line_to(cr, x, y);
    cairo_line_to(cr, x + w, y);
    cairo_line_to(cr, x + w - 2, y + 2);
    cairo_line_to(cr, x + 2, y + 2);
    cairo_line_to(cr, x + 2, y + h - 2);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
    // lip along bottom and right
    cairo_new_path(cr);
    cairo_move_to(cr, x + w, y);
    cairo_line_to(cr, x + w, y + h);
    cairo_line_to(cr, x, y + h);
    cairo_line_to(cr, x + 1, y + h - 1);
    cairo_line_to(cr, x + w - 1, y + h - 1);
    cairo_line_to(cr, x + w - 1, y + 1);
    cairo_close_path(cr);
    set_rgb(cr, pal::bronze_hi, 0.7);
    cairo_fill(cr);
    cairo_restore(cr);
}

void ornament_rule(cairo_t* cr, double x0, double x1, double y) {
    cairo_save(cr);
    double cx = (x0 + x1) / 2;
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, 0, x1, 0);
    add_stop(g, 0, pal::gold, 0);
    add_stop(g, 0.5, pal::gold, 1);
    add_stop(g, 1, pal::gold, 0);
    cairo_new_path(cr);
    cairo_rectangle(cr, x0, y - 0.5, x1 - x0, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    diamond(cr, cx, y, 3.5);
    cairo_restore(cr);
}

void keycap(cairo_t* cr, double x, double y, double w, double h, const std::string& label) {
    cairo_save(cr);
    cairo_new_path(cr);
    rounded_rect(cr, x, y, w, h, 4);
    set_rgb(cr, pal::ink_dark);
    cairo_fill(cr);
    cairo_new_path(cr);
    rounded_rect(cr, x + 1, y + 1, w - 2, h - 2, 3.5);
    cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x, y + h);
    add_stop(g, 0, pal::bronze_hi);
    add_stop(g, 1, pal::bronze_mid);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_new_path(cr);
    rounded_rect(cr, x + 4, y + 3, w - 8, h - 9, 3);
    cairo_pattern_t* top = cairo_pattern_create_linear(x, y, x, y + h);
    add_stop(top, 0, mix(pal::bronze_hi, pal::gold_hi, 0.5));
    add_stop(top, 1, pal::bronze);
    cairo_set_source(cr, top);
    cairo_fill(cr);
    cairo_pattern_destroy(top);
    TextStyle st;
    st.fill = st.fill_bottom = pal::ink_dark;
    use_font(cr, Face::SansBold, label.size() > 2 ? 14 : 17);
    draw_text_mid(cr, label, x + w / 2, y + (h - 6) / 2 + 1.5, Align::Centre, st);
    cairo_restore(cr);
}
