// Frame pieces, the abyss background and the minimap pieces.
#include "frame.hpp"

#include <algorithm>
#include <cmath>

#include "abyss.hpp"
#include "bmp_writer.hpp"
#include "canvas.hpp"
#include "families.hpp"
#include "items.hpp"
#include "jpeg_writer.hpp"
#include "palette.hpp"

namespace {

uint8_t to8(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

void put(Image& img, int x, int y, Rgb c) {
    uint8_t* p = img.at(x, y);
    p[0] = to8(c.r);
    p[1] = to8(c.g);
    p[2] = to8(c.b);
    p[3] = 255;
}

Rgb lighten(Rgb c, double k) { return mix(c, hex(0xffffff), k); }

// Rings of the stone post, from its edge (0) to its middle (14).
Rgb post_ring(int d) {
    switch (d) {
        case 0: return pal::bronze_edge;
        case 1: return lighten(pal::bronze_hi, 0.15);
        case 2: return pal::bronze_hi;
        case 3: return pal::bronze;
        case 4: return pal::bronze_lo;
        case 5: return pal::gold_lo;
        case 6: return pal::gold;
        case 7: return pal::gold_lo;
        case 8: return pal::bronze_lo;
        default: return mix(pal::bronze, pal::bronze_mid, (d - 9) / 5.0);
    }
}

}  // namespace

Rgb wall_profile(int col) {
    col = std::clamp(col, 0, 29);
    if (col == 0 || col == 29) return pal::bronze_edge;
    // rounded outer lip
    if (col == 1) return lighten(pal::bronze_hi, 0.25);
    if (col <= 5) return mix(pal::bronze_hi, pal::bronze_mid, (col - 2) / 3.0);
    // gold inlay in a dark channel
    if (col == 6 || col == 10) return pal::bronze_lo;
    if (col == 7 || col == 9) return pal::gold_lo;
    if (col == 8) return pal::gold;
    // flat top of the wall
    if (col == 11) return mix(pal::bronze_hi, pal::bronze, 0.4);
    if (col <= 21) return mix(pal::bronze, pal::bronze_mid, (col - 12) / 9.0);
    // slope down into the abyss, in shadow
    return mix(pal::bronze_lo, pal::bronze_edge, (col - 22) / 7.0 * 0.8);
}

void make_frame(const OutDir& out) {
    Image edge(32, 32), corner(32, 32), post(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            put(edge, x, y, wall_profile(x));
            // the outer corner folds the profile around the mitre: depth from the inner side
            int d = std::max(x, y);
            Rgb c = wall_profile(29 - d);
            if (x == y && d >= 1 && d <= 28) c = lighten(c, 0.18);
            put(corner, x, y, c);
            int ring = std::min(std::min(x, y), std::min(29 - x, 29 - y));
            Rgb p = post_ring(std::max(0, ring));
            // gold stud in the middle
            double r = std::hypot(x - 14.5, y - 14.5);
            if (r < 3.6)
                p = mix(pal::gold_hi, pal::gold_lo, std::clamp((x + y - 26) / 6.0, 0.0, 1.0));
            else if (r < 4.6)
                p = pal::gold_dark;
            if (x > 29 || y > 29) p = pal::bronze_edge;
            put(post, x, y, p);
        }
    write_bmp24(out("okraj.bmp"), edge);
    write_bmp24(out("roh.bmp"), corner);
    write_bmp24(out("roh1.bmp"), post);
    write_jpeg(out("bkground.jpg"), abyss_field(256, 256, 256, 2024, 70));
}

void make_minimap(const OutDir& out) {
    // pol1: a light cell (tinted yellow..red by the game) and an untinted wall strip
    Image cell(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            double v = 0.93;
            if (x < 20 && y < 20) {
                if (x == 0 || y == 0)
                    v = 1.0;
                else if (x == 19 || y == 19)
                    v = 0.68;
                else if (x == 1 || y == 1)
                    v = 0.98;
                else if (x == 18 || y == 18)
                    v = 0.8;
                else
                    v = 0.93 - 0.06 * (x + y) / 36.0;
            }
            put(cell, x, y, {v, v, v});
        }
    const Rgb strip[6] = {pal::bronze_edge,          pal::bronze_lo, lighten(pal::bronze, 0.1),
                          lighten(pal::bronze, 0.1), pal::bronze_lo, pal::bronze_edge};
    for (int y = 26; y < 32; ++y)
        for (int x = 0; x < 20; ++x) put(cell, x, y, strip[y - 26]);
    write_bmp24(out("pol1.bmp"), cell);

    // pol2: goal badge, gold frame around an emerald field with a gold star
    {
        Canvas c(32, 32);
        cairo_t* cr = c.cr();
        set_rgb(cr, pal::gold_dark);
        cairo_paint(cr);
        cairo_rectangle(cr, 1, 1, 18, 18);
        set_rgb(cr, pal::gold);
        cairo_fill(cr);
        cairo_rectangle(cr, 3, 3, 14, 14);
        set_rgb(cr, pal::goal_lo);
        cairo_fill(cr);
        cairo_rectangle(cr, 4, 4, 12, 12);
        set_rgb(cr, pal::goal);
        cairo_fill(cr);
        star_path(cr, 10, 10.6, 6.2, 2.6);
        set_rgb(cr, pal::gold_hi);
        cairo_fill(cr);
        write_bmp24(out("pol2.bmp"), c.image());
    }
    // pol3: "you are here", a bright disc with a white rim on a dark field
    {
        Canvas c(32, 32);
        cairo_t* cr = c.cr();
        set_rgb(cr, pal::ink_dark);
        cairo_paint(cr);
        cairo_arc(cr, 10, 10, 9.2, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        cairo_arc(cr, 10, 10, 6.8, 0, 2 * M_PI);
        cairo_pattern_t* g = cairo_pattern_create_radial(8, 8, 0.5, 10, 10, 7);
        add_stop(g, 0, hex(0xc8f4ff));
        add_stop(g, 0.5, pal::here);
        add_stop(g, 1, pal::here_lo);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_arc(cr, 10, 10, 2.2, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        write_bmp24(out("pol3.bmp"), c.image());
    }
}
