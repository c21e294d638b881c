// Pixel plumbing between cairo and the writers, and the shared art pieces.
#include <gtest/gtest.h>

#include <cmath>

#include "../abyss.hpp"
#include "../canvas.hpp"
#include "../figures.hpp"
#include "../frame.hpp"
#include "../noise.hpp"
#include "../text.hpp"

TEST(Image, FromSurfaceUndoesPremultiplication) {
    Canvas c(2, 1);
    cairo_set_source_rgba(c.cr(), 1.0, 0.5, 0.0, 0.5);
    cairo_paint(c.cr());
    Image img = c.image();
    const uint8_t* p = img.at(1, 0);
    EXPECT_NEAR(p[0], 255, 2);
    EXPECT_NEAR(p[1], 128, 3);
    EXPECT_EQ(p[2], 0);
    EXPECT_NEAR(p[3], 128, 1);
    // and back again
    Image round = from_surface(to_surface(img));
    EXPECT_NEAR(round.at(1, 0)[1], p[1], 2);
}

TEST(Image, BleedSpreadsNearestColourAndKeepsAlpha) {
    Image img(9, 1);
    uint8_t* red = img.at(0, 0);
    red[0] = 250;
    red[3] = 255;
    uint8_t* blue = img.at(8, 0);
    blue[2] = 250;
    blue[3] = 255;
    img.at(4, 0)[3] = 10;  // too faint to trust its (black) colour
    bleed(img);
    EXPECT_EQ(img.at(2, 0)[0], 250);
    EXPECT_EQ(img.at(2, 0)[2], 0);
    EXPECT_EQ(img.at(6, 0)[2], 250);
    EXPECT_EQ(img.at(6, 0)[0], 0);
    EXPECT_EQ(img.at(2, 0)[3], 0);
    EXPECT_EQ(img.at(4, 0)[3], 10);
    EXPECT_GT(img.at(4, 0)[0] + img.at(4, 0)[2], 200);  // got a neighbour's colour

    Image empty(4, 4);
    bleed(empty);  // nothing to spread from: must simply return
    EXPECT_EQ(empty.at(2, 2)[3], 0);
}

TEST(Image, RotateCounterClockwiseAndBlit) {
    Image img(3, 2);
    img.at(0, 0)[0] = 7;  // top-left goes to bottom-left
    img.at(2, 1)[0] = 9;  // bottom-right goes to top-right
    Image r = rotate_ccw(img);
    ASSERT_EQ(r.w, 2);
    ASSERT_EQ(r.h, 3);
    EXPECT_EQ(r.at(0, 2)[0], 7);
    EXPECT_EQ(r.at(1, 0)[0], 9);
    Image back = rotate_ccw(rotate_ccw(rotate_ccw(r)));
    EXPECT_EQ(back.px, img.px);

    Image dst(4, 4);
    dst.blit(img, 0, 0, 3, 2, 2, 3);  // partly off the edge: clipped, not crashing
    EXPECT_EQ(dst.at(2, 3)[0], 7);
}

TEST(Noise, PeriodicWhenTiled) {
    for (double x : {0.3, 2.7, 5.1}) EXPECT_DOUBLE_EQ(value_noise(x, 1.4, 4, 9), value_noise(x + 4, 1.4 + 8, 4, 9));
    // background wraps: the seam is no rougher than an ordinary column step
    Image bg = abyss_field(64, 64, 64, 5, 0);
    double seam = 0, inner = 0;
    for (int y = 0; y < 64; ++y)
        for (int k = 0; k < 3; ++k) {
            seam += std::abs(bg.at(63, y)[k] - bg.at(0, y)[k]);
            inner += std::abs(bg.at(31, y)[k] - bg.at(32, y)[k]);
        }
    EXPECT_LE(seam, inner * 2 + 64);
}

TEST(Frame, WallProfileRunsOuterToInner) {
    auto lum = [](Rgb c) { return c.r + c.g + c.b; };
    EXPECT_LT(lum(wall_profile(0)), 0.3);                    // dark outer edge
    EXPECT_LT(lum(wall_profile(29)), 0.3);                   // dark inner edge against the abyss
    EXPECT_GT(lum(wall_profile(1)), lum(wall_profile(25)));  // lit outside, shaded inside
}

TEST(Figures, DyingMaskIsBrokenLivingSilhouette) {
    Image live = living_mask(), dying = dying_mask();
    int live_opaque = 0, dying_opaque = 0, outside = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            live_opaque += live.alpha(x, y) > 128;
            dying_opaque += dying.alpha(x, y) > 128;
            outside += live.alpha(x, y) == 0 && dying.alpha(x, y) > 0;
        }
    EXPECT_GT(live_opaque, 300);
    EXPECT_LT(dying_opaque, live_opaque * 2 / 3);
    EXPECT_EQ(outside, 0);              // colours exist only under the shared silhouette
    EXPECT_GT(live.alpha(16, 4), 200);  // the nose points to the top edge
    EXPECT_EQ(live.alpha(16, 30), 0);
}

TEST(Text, FitSizeKeepsTextInsideWidth) {
    Canvas c(10, 10);
    double px = fit_size(c.cr(), Face::SerifBold, "THIS CHARACTER DID NOT REACH THE GOAL", 300, 40);
    EXPECT_LT(px, 40);
    use_font(c.cr(), Face::SerifBold, px);
    EXPECT_LE(text_width(c.cr(), "THIS CHARACTER DID NOT REACH THE GOAL"), 300);
    use_font(c.cr(), Face::Sans, 16);
    for (const auto& line : wrap_words(c.cr(), "one two three four five six seven eight nine ten", 80))
        EXPECT_LE(text_width(c.cr(), line), 80);
}
