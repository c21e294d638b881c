#pragma once
// Text drawn with DejaVu faces loaded straight from their files (no font lookup),
// so the same outlines are used on every machine.
#include <cairo.h>

#include <string>
#include <vector>

#include "palette.hpp"

enum class Face { Sans, SansBold, CondBold, Serif, SerifBold, SerifCondBold };

void use_font(cairo_t* cr, Face face, double px);
double text_width(cairo_t* cr, const std::string& s);
double cap_height(cairo_t* cr);  // height of "H" in the current font

struct TextStyle {
    Rgb fill = pal::text_light;
    Rgb fill_bottom = pal::text_light;  // vertical gradient when different from fill
    double outline = 0;                 // stroke width drawn under the fill
    Rgb outline_col = pal::ink_dark;
    double shadow = 0;  // drop shadow offset (down-right)
    double shadow_alpha = 0.6;
    double tracking = 0;  // extra space between letters
};

enum class Align { Left, Centre, Right };

// Draws s with its baseline at y; x is left / centre / right edge per align.
void draw_text(cairo_t* cr, const std::string& s, double x, double y, Align align, const TextStyle& st);
// Same, but vertically centres capital letters on cy.
void draw_text_mid(cairo_t* cr, const std::string& s, double x, double cy, Align align, const TextStyle& st);
// Largest size <= max_px at which s (with tracking) fits into max_w.
double fit_size(cairo_t* cr, Face face, const std::string& s, double max_w, double max_px, double tracking = 0);
// Greedy word wrap at the current font.
std::vector<std::string> wrap_words(cairo_t* cr, const std::string& s, double max_w);
double tracked_width(cairo_t* cr, const std::string& s, double tracking);
