#pragma once
#include <cairo.h>

#include "image.hpp"

// The three characters, seen from above and facing up. All share one
// silhouette; colour and head gear tell them apart.
constexpr int kFigureCount = 3;

// Outline shared by every character, in a 32 x 32 box.
void figure_silhouette(cairo_t* cr);
// Draws character `who` into a box of side `size` at (x, y).
void draw_figure(cairo_t* cr, double x, double y, double size, int who);

Image figure_picture(int who);  // 32 x 32, colour bled past the silhouette
Image living_mask();            // alpha = shared silhouette
Image dying_mask();             // silhouette cracked apart and fading
