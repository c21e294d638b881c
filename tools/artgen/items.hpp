#pragma once
#include <cairo.h>

// Path of a five-pointed star, first point up.
void star_path(cairo_t* cr, double cx, double cy, double r_out, double r_in);

// The goal tile: gold rim, emerald face and a gold star, inside a soft glow.
void draw_goal_tile(cairo_t* cr, double cx, double cy, double r);
// Extra life: a red heart in a box of side `size` at (x, y).
void draw_heart(cairo_t* cr, double x, double y, double size);
// Bonus: a gold coin stamped with a star.
void draw_coin(cairo_t* cr, double x, double y, double size);
