#pragma once
// One entry point per picture family; each writes its files into the folder.
#include <string>

struct OutDir {
    std::string dir;
    std::string operator()(const char* name) const { return dir + "/" + name; }
};

void make_tiles(const OutDir& out);      // kruh, zembra atlas
void make_frame(const OutDir& out);      // okraj, roh, roh1, bkground
void make_minimap(const OutDir& out);    // pol1, pol2, pol3
void make_panel(const OutDir& out);      // panel
void make_menu(const OutDir& out);       // menu
void make_end_texts(const OutDir& out);  // konec
void make_font(const OutDir& out);       // font
void make_figures(const OutDir& out);    // panak*, icon
