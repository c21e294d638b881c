// artgen OUTDIR: draws every picture the game loads.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "families.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        OutDir out{argv[1]};
        make_tiles(out);
        make_frame(out);
        make_minimap(out);
        make_panel(out);
        make_menu(out);
        make_end_texts(out);
        make_font(out);
        make_figures(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
