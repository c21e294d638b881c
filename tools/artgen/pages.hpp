#pragma once
// The three help pages, each an opaque plate drawn at (x, y) with size w x h.
#include <cairo.h>

void draw_items_page(cairo_t* cr, double x, double y, double w, double h);
void draw_controls_page(cairo_t* cr, double x, double y, double w, double h);
// Landscape layout; the caller stores it rotated.
void draw_howto_page(cairo_t* cr, double x, double y, double w, double h);
