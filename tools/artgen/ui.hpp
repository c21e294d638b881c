#pragma once
// Shared look for plates, boxes and ornaments on the panel, menu and pages.
#include <cairo.h>

#include <string>

#include "palette.hpp"

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// Double gold border (outer bright line, inner thin line) with corner studs.
void gold_frame(cairo_t* cr, double x, double y, double w, double h);
// Dark well sunk into the surface: shadow on the top-left, light lip bottom-right.
void recessed_box(cairo_t* cr, double x, double y, double w, double h, Rgb fill);
// Horizontal gold rule with a diamond in the middle.
void ornament_rule(cairo_t* cr, double x0, double x1, double y);
// Keyboard key with a label, for the controls page.
void keycap(cairo_t* cr, double x, double y, double w, double h, const std::string& label);
// Small gold diamond.
void diamond(cairo_t* cr, double cx, double cy, double r);
