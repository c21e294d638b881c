#include "text.hpp"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <sstream>
#include <stdexcept>

namespace {

const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";

const char* file_of(Face f) {
    switch (f) {
        case Face::Sans: return "DejaVuSans.ttf";
        case Face::SansBold: return "DejaVuSans-Bold.ttf";
        case Face::CondBold: return "DejaVuSansCondensed-Bold.ttf";
        case Face::Serif: return "DejaVuSerif.ttf";
        case Face::SerifBold: return "DejaVuSerif-Bold.ttf";
        case Face::SerifCondBold: return "DejaVuSerifCondensed-Bold.ttf";
    }
    return "DejaVuSans.ttf";
}

// Faces live for the whole run; the tool is short-lived.
cairo_font_face_t* face_for(Face f) {
    static FT_Library lib = nullptr;
    static std::map<Face, cairo_font_face_t*> cache;
    if (!lib && FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType init failed");
    auto it = cache.find(f);
    if (it != cache.end()) return it->second;
    FT_Face ft = nullptr;
    std::string path = std::string(kFontDir) + file_of(f);
    if (FT_New_Face(lib, path.c_str(), 0, &ft)) throw std::runtime_error("cannot load font " + path);
    cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(ft, 0);
    cache[f] = cf;
    return cf;
}

// Walks the letters one by one so tracking can be applied.
template <typename Fn>
void each_glyph_run(cairo_t* cr, const std::string& s, double tracking, Fn fn) {
    if (tracking == 0) {
        fn(s, 0.0);
        return;
    }
    double x = 0;
    for (size_t i = 0; i < s.size();) {
        size_t n = 1;
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0xF0)
            n = 4;
        else if (c >= 0xE0)
            n = 3;
        else if (c >= 0xC0)
            n = 2;
        std::string ch = s.substr(i, n);
        fn(ch, x);
        cairo_text_extents_t e;
        cairo_text_extents(cr, ch.c_str(), &e);
        x += e.x_advance + tracking;
        i += n;
    }
}

}  // namespace

void use_font(cairo_t* cr, Face face, double px) {
    cairo_set_font_face(cr, face_for(face));
    cairo_set_font_size(cr, px);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

double text_width(cairo_t* cr, const std::string& s) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

double tracked_width(cairo_t* cr, const std::string& s, double tracking) {
    double w = 0;
    each_glyph_run(cr, s, tracking, [&](const std::string& part, double x) { w = x + text_width(cr, part); });
    return w;
}

double cap_height(cairo_t* cr) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, "H", &e);
    return -e.y_bearing;
}

void draw_text(cairo_t* cr, const std::string& s, double x, double y, Align align, const TextStyle& st) {
    double w = tracked_width(cr, s, st.tracking);
    double x0 = align == Align::Left ? x : align == Align::Centre ? x - w / 2 : x - w;
    auto build_path = [&](double dx, double dy) {
        cairo_new_path(cr);
        each_glyph_run(cr, s, st.tracking, [&](const std::string& part, double gx) {
            cairo_move_to(cr, x0 + gx + dx, y + dy);
            cairo_text_path(cr, part.c_str());
        });
    };
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (st.shadow > 0) {
        build_path(st.shadow, st.shadow);
        set_rgb(cr, pal::ink_dark, st.shadow_alpha);
        if (st.outline > 0) {
            cairo_set_line_width(cr, st.outline);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
    }
    if (st.outline > 0) {
        build_path(0, 0);
        set_rgb(cr, st.outline_col);
        cairo_set_line_width(cr, st.outline);
        cairo_stroke(cr);
    }
    build_path(0, 0);
    double ch = cap_height(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y - ch, 0, y);
    add_stop(p, 0, st.fill);
    add_stop(p, 1, st.fill_bottom);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void draw_text_mid(cairo_t* cr, const std::string& s, double x, double cy, Align align, const TextStyle& st) {
    draw_text(cr, s, x, cy + cap_height(cr) / 2, align, st);
}

double fit_size(cairo_t* cr, Face face, const std::string& s, double max_w, double max_px, double tracking) {
    double px = max_px;
    while (px > 6) {
        use_font(cr, face, px);
        if (tracked_width(cr, s, tracking) <= max_w) break;
        px -= 0.5;
    }
    return px;
}

std::vector<std::string> wrap_words(cairo_t* cr, const std::string& s, double max_w) {
    std::istringstream in(s);
    std::vector<std::string> lines;
    std::string word, line;
    while (in >> word) {
        std::string trial = line.empty() ? word : line + " " + word;
        if (!line.empty() && text_width(cr, trial) > max_w) {
            lines.push_back(line);
            line = word;
        } else {
            line = trial;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}
