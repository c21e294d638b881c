// Checks the pictures in data/ load the way the renderer expects: sizes,
// depths, masks that match their pictures, and a few layout landmarks.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

std::string path(const std::string& name) { return std::string(ZK_DATA_DIR) + "/" + name; }
Surface load_picture(const std::string& name) { return Surface(IMG_Load(path(name).c_str()), SDL_FreeSurface); }
Surface load_mask(const std::string& name) { return Surface(SDL_LoadBMP(path(name).c_str()), SDL_FreeSurface); }

bool power_of_two(int v) { return v > 0 && (v & (v - 1)) == 0; }

// Palette index of an 8-bit mask = the alpha the game uses.
int alpha_at(SDL_Surface* s, int x, int y) { return static_cast<const Uint8*>(s->pixels)[y * s->pitch + x]; }

struct Rgb {
    int r, g, b;
};

Rgb rgb_at(SDL_Surface* s, int x, int y) {
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 v = 0;
    for (int i = 0; i < s->format->BytesPerPixel; ++i) {
        int shift = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 8 * i : 8 * (s->format->BytesPerPixel - 1 - i);
        v |= static_cast<Uint32>(p[i]) << shift;
    }
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return {r, g, b};
}

int colour_distance(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

struct Picture {
    const char* file;
    int w, h;
    const char* mask;  // nullptr when drawn opaque
};

const Picture kPictures[] = {
    {"kruh.bmp", 128, 128, "kruh_a.bmp"}, {"zembra.jpg", 256, 256, "zembra_a.bmp"},
    {"pol1.bmp", 32, 32, nullptr},        {"pol2.bmp", 32, 32, nullptr},
    {"pol3.bmp", 32, 32, nullptr},        {"okraj.bmp", 32, 32, nullptr},
    {"roh.bmp", 32, 32, nullptr},         {"roh1.bmp", 32, 32, nullptr},
    {"panel.jpg", 256, 1024, nullptr},    {"menu.jpg", 1024, 1024, nullptr},
    {"konec.jpg", 1024, 1024, nullptr},   {"font.bmp", 256, 16, "font_a.bmp"},
    {"panak.bmp", 32, 32, "panak_a.bmp"}, {"panak1.bmp", 32, 32, "panak_a.bmp"},
    {"panak2.bmp", 32, 32, "panakd.bmp"}, {"bkground.jpg", 256, 256, nullptr},
    {"icon.bmp", 32, 32, nullptr},
};

}  // namespace

TEST(Assets, EveryPictureAndMaskHasTheExpectedShape) {
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.file);
        Surface pic = load_picture(p.file);
        ASSERT_TRUE(pic) << IMG_GetError();
        EXPECT_EQ(pic->w, p.w);
        EXPECT_EQ(pic->h, p.h);
        EXPECT_TRUE(power_of_two(pic->w) && power_of_two(pic->h));
        EXPECT_EQ(pic->format->BitsPerPixel, 24);
        if (!p.mask) continue;
        SCOPED_TRACE(p.mask);
        Surface mask = load_mask(p.mask);
        ASSERT_TRUE(mask) << SDL_GetError();
        EXPECT_EQ(mask->w, pic->w);
        EXPECT_EQ(mask->h, pic->h);
        ASSERT_EQ(mask->format->BitsPerPixel, 8);
        ASSERT_NE(mask->format->palette, nullptr);
        ASSERT_EQ(mask->format->palette->ncolors, 256);
        const SDL_Color& c = mask->format->palette->colors[200];
        EXPECT_TRUE(c.r == 200 && c.g == 200 && c.b == 200);  // grey palette: index = alpha
    }
}

TEST(Assets, MasksCoverTheRegionsTheGameDraws) {
    Surface kruh = load_mask("kruh_a.bmp");
    Surface atlas = load_mask("zembra_a.bmp");
    ASSERT_TRUE(kruh && atlas);
    EXPECT_EQ(alpha_at(kruh.get(), 45, 45), 255);  // centre of the 90 px disc
    EXPECT_EQ(alpha_at(kruh.get(), 120, 120), 0);  // outside the used region
    EXPECT_EQ(alpha_at(kruh.get(), 1, 1), 0);      // round, not square

    EXPECT_GT(alpha_at(atlas.get(), 16, 240), 200);   // heart
    EXPECT_GT(alpha_at(atlas.get(), 48, 240), 200);   // bonus
    EXPECT_GT(alpha_at(atlas.get(), 212, 45), 200);   // goal tile
    EXPECT_GT(alpha_at(atlas.get(), 100, 72), 200);   // logo: where finished figures stand
    EXPECT_GT(alpha_at(atlas.get(), 75, 143), 200);   // logo: name ribbon
    EXPECT_GT(alpha_at(atlas.get(), 236, 211), 200);  // crumbling tile: a fragment...
    EXPECT_EQ(alpha_at(atlas.get(), 211, 211), 0);    // ...around a fallen centre
    EXPECT_EQ(alpha_at(atlas.get(), 120, 240), 0);    // unused corner
}

TEST(Assets, FontHasTenDigitsAndEmptySpareCells) {
    Surface font = load_mask("font_a.bmp");
    ASSERT_TRUE(font);
    for (int cell = 0; cell < 16; ++cell) {
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) opaque += alpha_at(font.get(), cell * 16 + x, y) > 128;
        if (cell < 10)
            EXPECT_GT(opaque, 20) << "digit " << cell;
        else
            EXPECT_EQ(opaque, 0) << "cell " << cell;
    }
}

TEST(Assets, CharactersFaceUpAndDyingLookDiffers) {
    Surface live = load_mask("panak_a.bmp");
    Surface dying = load_mask("panakd.bmp");
    ASSERT_TRUE(live && dying);
    EXPECT_GT(alpha_at(live.get(), 16, 4), 200);  // nose toward the top edge
    EXPECT_EQ(alpha_at(live.get(), 16, 30), 0);
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            differing += std::abs(alpha_at(live.get(), x, y) - alpha_at(dying.get(), x, y)) > 64;
    EXPECT_GT(differing, 100);
    // the three characters share a mask, so their colours must tell them apart
    Surface a = load_picture("panak.bmp"), b = load_picture("panak1.bmp"), c = load_picture("panak2.bmp");
    ASSERT_TRUE(a && b && c);
    EXPECT_GT(colour_distance(rgb_at(a.get(), 16, 24), rgb_at(b.get(), 16, 24)), 120);
    EXPECT_GT(colour_distance(rgb_at(b.get(), 16, 24), rgb_at(c.get(), 16, 24)), 120);
}

TEST(Assets, FramePiecesJoinAndMenuPlateMatchesLabels) {
    Surface edge = load_picture("okraj.bmp"), corner = load_picture("roh.bmp");
    ASSERT_TRUE(edge && corner);
    // along the corner's top row the profile runs from the inner side (x 0) to the outer (x 29)
    for (int x = 0; x < 30; ++x)
        EXPECT_LE(colour_distance(rgb_at(corner.get(), x, 0), rgb_at(edge.get(), 29 - x, 16)), 3) << x;

    Surface menu = load_picture("menu.jpg");
    ASSERT_TRUE(menu);
    Rgb plate = rgb_at(menu.get(), 300, 262);  // inside the label column, above the first label text
    for (int k = 0; k < 12; ++k) EXPECT_LE(colour_distance(plate, rgb_at(menu.get(), 801, k * 45 + 2)), 12) << k;
}
