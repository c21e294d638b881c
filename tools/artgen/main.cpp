// artgen OUTDIR: draws every picture the game loads.
// artgen --icons OUTDIR: draws the desktop icons, which ship beside the game, not in data/.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "families.hpp"
#include "icons.hpp"

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: %s OUTDIR\n       %s --icons OUTDIR\n", argv[0], argv[0]);
        return 2;
    }
    try {
        if (icons) {
            std::filesystem::create_directories(argv[2]);
            make_icons(argv[2]);
            return 0;
        }
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
