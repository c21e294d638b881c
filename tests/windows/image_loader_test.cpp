// The Windows build loads its pictures with the small loader in third_party/img_lite. The
// texture upload picks its byte order from the surface, so that loader must hand over the
// very surfaces SDL_image gives here: same format, size, pitch and bytes, for every picture.
#include <SDL.h>
#include <SDL_image.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" SDL_Surface* lite_IMG_Load(const char* file);
extern "C" SDL_Surface* lite_IMG_Load_RW(SDL_RWops* src, int freesrc);

namespace {

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

bool is_picture(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = name.substr(dot + 1);
    return ext == "jpg" || ext == "bmp" || ext == "JPG" || ext == "BMP";
}

std::vector<std::string> pictures_in(const std::string& folder) {
    std::vector<std::string> paths;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (is_picture(entry->d_name)) paths.push_back(folder + "/" + entry->d_name);
        closedir(dir);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> all_pictures() {
    std::vector<std::string> paths = pictures_in(ZK_DATA_DIR);
    for (const std::string& path : pictures_in(ZK_FIXTURE_DIR)) paths.push_back(path);
    return paths;
}

void expect_same_surface(SDL_Surface* real, SDL_Surface* lite) {
    const SDL_PixelFormat* a = real->format;
    const SDL_PixelFormat* b = lite->format;
    EXPECT_EQ(a->BitsPerPixel, b->BitsPerPixel);
    EXPECT_EQ(a->BytesPerPixel, b->BytesPerPixel);
    EXPECT_EQ(a->Rmask, b->Rmask);
    EXPECT_EQ(a->Gmask, b->Gmask);
    EXPECT_EQ(a->Bmask, b->Bmask);
    EXPECT_EQ(a->Amask, b->Amask);
    ASSERT_EQ(real->w, lite->w);
    ASSERT_EQ(real->h, lite->h);
    ASSERT_EQ(real->pitch, lite->pitch);
    ASSERT_EQ(a->palette == nullptr, b->palette == nullptr);
    if (a->palette != nullptr) {
        ASSERT_EQ(a->palette->ncolors, b->palette->ncolors);
        // Only the colours: the fourth byte is padding, which SDL fills one way and SDL_image another.
        for (int i = 0; i < a->palette->ncolors; ++i) {
            const SDL_Color& x = a->palette->colors[i];
            const SDL_Color& y = b->palette->colors[i];
            EXPECT_TRUE(x.r == y.r && x.g == y.g && x.b == y.b) << "palette entry " << i;
        }
    }
    const size_t row_bytes = static_cast<size_t>(real->w) * a->BytesPerPixel;
    for (int y = 0; y < real->h; ++y) {
        const Uint8* row_a = static_cast<const Uint8*>(real->pixels) + y * real->pitch;
        const Uint8* row_b = static_cast<const Uint8*>(lite->pixels) + y * lite->pitch;
        ASSERT_EQ(0, memcmp(row_a, row_b, row_bytes)) << "row " << y;
    }
}

TEST(ImageLoaderTest, EveryPictureLoadsAsSdlImageLoadsIt) {
    const std::vector<std::string> paths = all_pictures();
    ASSERT_GE(paths.size(), 25u) << "the data folder's pictures were not found";
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        Surface real(IMG_Load(path.c_str()), SDL_FreeSurface);
        Surface lite(lite_IMG_Load(path.c_str()), SDL_FreeSurface);
        ASSERT_TRUE(real) << IMG_GetError();
        ASSERT_TRUE(lite) << SDL_GetError();
        expect_same_surface(real.get(), lite.get());
    }
}

// The content decides, not the name: a JPEG named .bmp and a BMP named .jpg still load.
TEST(ImageLoaderTest, PicturesUnderTheWrongNameLoadByTheirContent) {
    const std::string folder = ZK_DATA_DIR;
    for (const char* name : {"menu.jpg", "kruh.bmp"}) {
        SCOPED_TRACE(name);
        SDL_RWops* stream = SDL_RWFromFile((folder + "/" + name).c_str(), "rb");
        ASSERT_NE(stream, nullptr);
        Surface real(IMG_Load((folder + "/" + name).c_str()), SDL_FreeSurface);
        Surface lite(lite_IMG_Load_RW(stream, 1), SDL_FreeSurface);
        ASSERT_TRUE(real && lite);
        expect_same_surface(real.get(), lite.get());
    }
}

// A JPEG cut short inside its picture data still loads, the missing rows filled in by libjpeg;
// cut inside its header it does not. Either way both loaders must agree.
TEST(ImageLoaderTest, JpegsCutShortLoadAsSdlImageLoadsThem) {
    const std::string folder = ZK_DATA_DIR;
    char temporary[] = "/tmp/zk-img-XXXXXX";
    ASSERT_NE(mkdtemp(temporary), nullptr);
    for (const char* name : {"menu.jpg", "zembra.jpg"}) {
        SDL_RWops* whole = SDL_RWFromFile((folder + "/" + name).c_str(), "rb");
        ASSERT_NE(whole, nullptr);
        const int size = SDL_RWseek(whole, 0, RW_SEEK_END);
        SDL_RWseek(whole, 0, RW_SEEK_SET);
        std::vector<char> bytes(size);
        ASSERT_EQ(SDL_RWread(whole, bytes.data(), 1, size), size);
        SDL_RWclose(whole);
        for (int kept : {100, 400, size / 3, size / 2, size - 2}) {
            SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(kept) + " bytes");
            const std::string path = std::string(temporary) + "/cut.jpg";
            SDL_RWops* out = SDL_RWFromFile(path.c_str(), "wb");
            ASSERT_NE(out, nullptr);
            ASSERT_EQ(SDL_RWwrite(out, bytes.data(), 1, kept), kept);
            SDL_RWclose(out);
            Surface real(IMG_Load(path.c_str()), SDL_FreeSurface);
            Surface lite(lite_IMG_Load(path.c_str()), SDL_FreeSurface);
            ASSERT_EQ(real == nullptr, lite == nullptr);
            if (kept >= size / 3) {
                EXPECT_TRUE(real) << "a picture cut in its data loads";
            }
            if (kept <= 100) {
                EXPECT_FALSE(real) << "a picture cut in its header does not load";
            }
            if (real) expect_same_surface(real.get(), lite.get());
            remove(path.c_str());
        }
    }
    rmdir(temporary);
}

TEST(ImageLoaderTest, MissingAndDamagedFilesGiveNoSurface) {
    EXPECT_EQ(lite_IMG_Load("/nonexistent/zembrak/menu.jpg"), nullptr);
    // A JPEG cut after its first kilobyte, and bytes that are no picture at all.
    const std::string menu = std::string(ZK_DATA_DIR) + "/menu.jpg";
    std::vector<char> bytes(1024);
    SDL_RWops* whole = SDL_RWFromFile(menu.c_str(), "rb");
    ASSERT_NE(whole, nullptr);
    ASSERT_EQ(SDL_RWread(whole, bytes.data(), 1, 1024), 1024);
    SDL_RWclose(whole);
    bytes.resize(200);
    Surface cut(lite_IMG_Load_RW(SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size())), 1), SDL_FreeSurface);
    EXPECT_FALSE(cut);
    char text[] = "SCREEN_WIDTH: 800";
    Surface none(lite_IMG_Load_RW(SDL_RWFromMem(text, sizeof text), 1), SDL_FreeSurface);
    EXPECT_FALSE(none);
}

}  // namespace
