#include "canvas.hpp"

Canvas::Canvas(int w, int h)
    : w_(w), h_(h), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)), cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void paint_image(cairo_t* cr, const Image& img, double x, double y, double alpha) {
    cairo_surface_t* s = to_surface(img);
    cairo_save(cr);
    cairo_set_source_surface(cr, s, x, y);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}
