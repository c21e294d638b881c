// Desktop icons: every size written, the same bytes each time, and legible as the game's mark.
#include "../icons.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "decode.hpp"

namespace fs = std::filesystem;

namespace {

class Icons : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        root_ = (fs::temp_directory_path() / ("artgen_icons_" + std::to_string(::getpid()))).string();
        fs::create_directories(root_ + "/a");
        fs::create_directories(root_ + "/b");
        make_icons(root_ + "/a");
        make_icons(root_ + "/b");
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }
    static std::string path(const char* run, int size) {
        return root_ + "/" + run + "/zembrak-" + std::to_string(size) + ".png";
    }
    static std::string root_;
};

std::string Icons::root_;

bool gold(const uint8_t* p) { return p[3] > 200 && p[0] > 190 && p[1] > 120 && p[2] < 140; }

}  // namespace

TEST_F(Icons, EverySizeIsWrittenIdenticallyTwice) {
    for (int size : kIconSizes) {
        SCOPED_TRACE(size);
        auto a = read_bytes(path("a", size));
        ASSERT_GT(a.size(), 8u);
        EXPECT_EQ(0, std::memcmp(a.data(), "\x89PNG", 4));
        EXPECT_EQ(a, read_bytes(path("b", size)));
    }
}

// Read back through cairo: the size in the file, clear corners so the plate's rounding shows
// on any panel, an opaque plate and a gold letter across the middle row.
TEST_F(Icons, ReadBackAsARoundedPlateWithAGoldLetter) {
    for (int size : kIconSizes) {
        SCOPED_TRACE(size);
        cairo_surface_t* s = cairo_image_surface_create_from_png(path("a", size).c_str());
        ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
        Image img = from_surface(s);
        cairo_surface_destroy(s);
        ASSERT_EQ(img.w, size);
        ASSERT_EQ(img.h, size);
        EXPECT_EQ(img.alpha(0, 0), 0);
        EXPECT_EQ(img.alpha(size - 1, size - 1), 0);
        const uint8_t* edge = img.at(size / 2, size / 16 + 1);
        EXPECT_EQ(edge[3], 255);
        EXPECT_LT(edge[0] + edge[1], 200);  // violet depths, not the tile
        int golden = 0;
        for (int x = 0; x < size; ++x) golden += gold(img.at(x, size / 2));
        EXPECT_GE(golden, size / 8);
    }
}

TEST_F(Icons, DiffersFromSizeToSizeInDetail) {
    // Each size is drawn, not scaled: the big ones carry stars that the small ones leave out.
    auto stars = [](const Image& img) {
        int n = 0;
        for (int y = 0; y < img.h / 5; ++y)
            for (int x = 0; x < img.w / 5; ++x) {
                const uint8_t* p = img.at(x + img.w / 16, y + img.h / 16);
                n += p[3] == 255 && p[2] > 200 && p[0] > 170;
            }
        return n;
    };
    int counts[2];
    const int sizes[2] = {16, 256};
    for (int i = 0; i < 2; ++i) {
        cairo_surface_t* s = cairo_image_surface_create_from_png(path("a", sizes[i]).c_str());
        counts[i] = stars(from_surface(s));
        cairo_surface_destroy(s);
    }
    EXPECT_EQ(counts[0], 0);
    EXPECT_GT(counts[1], 0);
}
