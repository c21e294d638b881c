// Digits for the panel: sixteen 16 x 16 cells, 0..9 used.
#include <string>

#include "bmp_writer.hpp"
#include "canvas.hpp"
#include "families.hpp"
#include "palette.hpp"
#include "text.hpp"

void make_font(const OutDir& out) {
    Canvas c(256, 16);
    cairo_t* cr = c.cr();
    TextStyle st;
    st.fill = hex(0xfffbe8);
    st.fill_bottom = pal::gold;
    st.outline = 3;
    st.outline_col = pal::ink_dark;
    use_font(cr, Face::SansBold, 15);
    for (int d = 0; d < 10; ++d) {
        std::string s(1, static_cast<char>('0' + d));
        // baseline rounded so every digit sits on the same pixel row
        draw_text(cr, s, d * 16 + 8, 14, Align::Centre, st);
    }
    Image img = c.image();
    bleed(img);
    write_bmp24(out("font.bmp"), img);
    write_mask(out("font_a.bmp"), img);
}
