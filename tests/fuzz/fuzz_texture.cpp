// Picture and mask surfaces of any depth and size the decoders might hand over, through the
// two conversions between a decoded picture and the texture upload: tight rows of three
// bytes, then those rows with the mask.
//
// Input: five header bytes, then bytes that are repeated as needed to fill palette and pixels.
//   0: picture width - 1 (mod 64)     1: picture height - 1 (mod 64)
//   2: bits 0-2 picture depth (8, 15, 16, 24, 32, mod 5), bit 3 R, G, B order wanted,
//      bits 4-5 mask depth (8, 16, 24, 32), bit 6 mask size from bytes 3-4 instead of the
//      picture's, bit 7 channels the other way round (and an alpha channel at 32 bits)
//   3: mask width - 1 (mod 64)        4: mask height - 1 (mod 64)
#include <SDL.h>

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "render/textures.h"

namespace {

class ByteSource {
   public:
    ByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t next() {
        if (size_ == 0) return 0;
        const uint8_t byte = data_[position_];
        position_ = (position_ + 1) % size_;
        return byte;
    }

   private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

SDL_Surface* makeSurface(int width, int height, int depth, bool swapped) {
    Uint32 r = 0, g = 0, b = 0, a = 0;
    switch (depth) {
        case 15: r = 0x7C00, g = 0x03E0, b = 0x001F; break;
        case 16: r = 0xF800, g = 0x07E0, b = 0x001F; break;
        case 24: r = 0xFF0000, g = 0x00FF00, b = 0x0000FF; break;
        case 32:
            r = 0xFF0000, g = 0x00FF00, b = 0x0000FF;
            if (swapped) a = 0xFF000000;
            break;
        default: break;  // 8 bits: a palette
    }
    if (swapped) std::swap(r, b);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, depth, r, g, b, a);
}

void fillPixels(SDL_Surface* surface, ByteSource& source) {
    uint8_t* pixels = static_cast<uint8_t*>(surface->pixels);
    for (size_t i = 0, n = size_t(surface->pitch) * surface->h; i < n; ++i) pixels[i] = source.next();
}

Uint32 pixelAt(const SDL_Surface* surface, int x, int y) {
    const uint8_t* p =
        static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
        case 1: return p[0];
        case 2: return *reinterpret_cast<const Uint16*>(p);
        case 4: return *reinterpret_cast<const Uint32*>(p);
        default: return p[0] | p[1] << 8 | p[2] << 16;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    static const int PICTURE_DEPTHS[5] = {8, 15, 16, 24, 32};
    static const int MASK_DEPTHS[4] = {8, 16, 24, 32};
    const int width = data[0] % 64 + 1, height = data[1] % 64 + 1;
    const int depth = PICTURE_DEPTHS[(data[2] & 7) % 5];
    const bool rgbOrder = data[2] & 8;
    const int maskDepth = MASK_DEPTHS[(data[2] >> 4) & 3];
    const bool ownMaskSize = data[2] & 64;
    const bool swapped = data[2] & 128;
    const int maskWidth = ownMaskSize ? data[3] % 64 + 1 : width;
    const int maskHeight = ownMaskSize ? data[4] % 64 + 1 : height;
    ByteSource source(data + 5, size - 5);

    SDL_Surface* picture = makeSurface(width, height, depth, swapped);
    SDL_Surface* mask = makeSurface(maskWidth, maskHeight, maskDepth, false);
    FUZZ_CHECK(picture != nullptr && mask != nullptr);
    if (depth == 8) {
        SDL_Color colours[256];
        for (SDL_Color& c : colours) c = {source.next(), source.next(), source.next(), 0};
        SDL_SetColors(picture, colours, 0, 256);
    }
    fillPixels(picture, source);
    fillPixels(mask, source);

    uint8_t* rows = pictureRows(picture, rgbOrder);
    FUZZ_CHECK(rows != nullptr);
    const uint8_t* picturePixels = static_cast<const uint8_t*>(picture->pixels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* t = rows + (size_t(y) * width + x) * 3;
            if (depth == 24) {  // three bytes a pixel are taken as they are
                const uint8_t* p = picturePixels + y * picture->pitch + x * 3;
                FUZZ_CHECK(t[0] == p[0] && t[1] == p[1] && t[2] == p[2]);
            }
            // Palette and 8-bit channels convert exactly, in the byte order asked for.
            if (depth == 8 || depth == 32) {
                Uint8 r, g, b;
                SDL_GetRGB(pixelAt(picture, x, y), picture->format, &r, &g, &b);
                FUZZ_CHECK(t[1] == g);
                FUZZ_CHECK(rgbOrder ? (t[0] == r && t[2] == b) : (t[0] == b && t[2] == r));
            }
        }

    uint8_t* texels = combineRowsAndMask(rows, width, height, mask);
    const bool usable = (maskDepth == 8 || maskDepth == 32) && maskWidth == width && maskHeight == height;
    FUZZ_CHECK((texels != nullptr) == usable);
    if (texels != nullptr) {
        const uint8_t* out = texels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x, out += 4) {
                const uint8_t* t = rows + (size_t(y) * width + x) * 3;
                FUZZ_CHECK(out[0] == t[2] && out[1] == t[1] && out[2] == t[0]);
                // An 8-bit mask gives its index; a 32-bit one its red level, as a browser's decoder leaves it.
                Uint8 r, g, b;
                SDL_GetRGB(pixelAt(mask, x, y), mask->format, &r, &g, &b);
                if (maskDepth == 8) FUZZ_CHECK(out[3] == pixelAt(mask, x, y));
                if (maskDepth == 32) FUZZ_CHECK(out[3] == r);
            }
        free(texels);
    }

    free(rows);
    SDL_FreeSurface(picture);
    SDL_FreeSurface(mask);
    return 0;
}
