#pragma once
#include <cairo.h>

#include "image.hpp"

// A transparent ARGB32 cairo surface with its context; freed on scope exit.
class Canvas {
   public:
    Canvas(int w, int h);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return w_; }
    int height() const { return h_; }
    Image image() const { return from_surface(surface_); }

   private:
    int w_, h_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Paints an Image at (x, y) onto a context.
void paint_image(cairo_t* cr, const Image& img, double x, double y, double alpha = 1.0);
