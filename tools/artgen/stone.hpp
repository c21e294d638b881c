#pragma once
#include <cairo.h>

#include <cstdint>

// The sandstone tile seen from above: dark rim, bevel lit from the top-left, mottled face.
void draw_stone_disc(cairo_t* cr, double cx, double cy, double r, uint32_t seed);

// The same disc split into fragments drifting apart around a fallen centre.
void draw_crumbling_disc(cairo_t* cr, double cx, double cy, double r, uint32_t seed);
