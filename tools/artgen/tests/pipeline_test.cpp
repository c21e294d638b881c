// Runs every picture family and checks the results as the game will use them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../families.hpp"
#include "decode.hpp"

namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {
    "kruh.bmp",  "kruh_a.bmp", "zembra.jpg", "zembra_a.bmp", "okraj.bmp",  "roh.bmp",   "roh1.bmp", "bkground.jpg",
    "pol1.bmp",  "pol2.bmp",   "pol3.bmp",   "panel.jpg",    "menu.jpg",   "konec.jpg", "font.bmp", "font_a.bmp",
    "panak.bmp", "panak1.bmp", "panak2.bmp", "panak_a.bmp",  "panakd.bmp", "icon.bmp",
};

void make_all(const std::string& dir) {
    fs::create_directories(dir);
    OutDir out{dir};
    make_tiles(out);
    make_frame(out);
    make_minimap(out);
    make_panel(out);
    make_menu(out);
    make_end_texts(out);
    make_font(out);
    make_figures(out);
}

class Pipeline : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        root_ = (fs::temp_directory_path() / ("artgen_test_" + std::to_string(::getpid()))).string();
        make_all(root_ + "/a");
        make_all(root_ + "/b");
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }
    static Image jpeg(const char* name) { return decode_jpeg(read_bytes(root_ + "/a/" + name)); }
    static std::string root_;
};

std::string Pipeline::root_;

}  // namespace

TEST_F(Pipeline, WritesEveryFileIdenticallyTwice) {
    for (const char* f : kFiles) {
        SCOPED_TRACE(f);
        auto a = read_bytes(root_ + "/a/" + f);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a, read_bytes(root_ + "/b/" + f));
    }
}

TEST_F(Pipeline, HowToPlayPageIsStoredTurnedCounterClockwise) {
    Image konec = jpeg("konec.jpg");
    ASSERT_EQ(konec.w, 1024);
    // the World map sits at landscape x 28..220, y 64..256; screen (u, v) is
    // stored at (610 + v, 761 - u), so its middle (124, 160) lands at (770, 637)
    const uint8_t* map = konec.at(770, 637);
    EXPECT_GT(map[0], 180);  // yellow-to-red sector cells
    EXPECT_LT(map[2], 90);
    // turned the other way the map would be at (610 + 384 - 160, 124)
    const uint8_t* wrong = konec.at(834, 124);
    EXPECT_FALSE(wrong[0] > 180 && wrong[2] < 90);
}

TEST_F(Pipeline, HighlightedLabelsFollowThePlainOnes) {
    Image menu = jpeg("menu.jpg");
    ASSERT_EQ(menu.w, 1024);
    const double row = 500.0 / 11.0;
    for (int k = 0; k < 6; ++k) {
        int plain = static_cast<int>(row * k) + 6, lit = static_cast<int>(row * (k + 6)) + 6;
        EXPECT_GT(mean_lum(menu, 830, lit, 130, 32), mean_lum(menu, 830, plain, 130, 32) + 60) << k;
    }
    // the page below the menu starts on row 599 and stays inside 747 columns
    EXPECT_LT(mean_lum(menu, 760, 700, 200, 200), 60);
}

TEST_F(Pipeline, PanelWellsAreDarkerThanTheStone) {
    Image panel = jpeg("panel.jpg");
    ASSERT_EQ(panel.h, 1024);
    double stone = mean_lum(panel, 190, 250, 6, 80);
    EXPECT_LT(mean_lum(panel, 20, 20, 160, 160), stone - 20);   // minimap well
    EXPECT_LT(mean_lum(panel, 40, 400, 120, 14), stone - 20);   // score box
    EXPECT_LT(mean_lum(panel, 40, 225, 120, 120), stone - 20);  // lives box
}
