#pragma once
// Seeded, platform-independent noise so every run draws the same pictures.
#include <cairo.h>

#include <cstdint>
#include <functional>

uint32_t hash3(int x, int y, uint32_t seed);
double hash01(int x, int y, uint32_t seed);  // [0, 1)

// Smooth value noise in [0, 1]; the lattice wraps every `period` cells when period > 0.
double value_noise(double x, double y, int period, uint32_t seed);
// Several octaves; cell = size of the first octave in pixels, tiles every `tile` px when tile > 0.
double fractal_noise(double x, double y, double cell, int octaves, int tile, uint32_t seed);

// A surface whose pixels lighten (f > 0) or darken (f < 0) what it is painted over;
// f is evaluated per pixel and clamped to [-1, 1], then scaled by strength.
cairo_surface_t* shade_surface(int w, int h, const std::function<double(int, int)>& f, double strength);

// Paints a grain of fine speckle and coarse mottling clipped to the current path.
void paint_grain(cairo_t* cr, double x, double y, int w, int h, uint32_t seed, double fine, double coarse,
                 double cell = 14.0);
