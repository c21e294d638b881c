#include "render/textures.h"

#include <SDL_image.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"
#include "platform/paths.h"

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

bool picturePixelsAreRgb(const char* fileName) {
    const size_t length = strlen(fileName);
    // Only the last character decides: "x.JPG" is taken as B, G, R like a BMP.
    return length > 0 && fileName[length - 1] == 'g';
}

int deriveMaskName(const char* fileName, char* maskName, size_t size) {
    const size_t length = strlen(fileName);
    if (length < 4 || length - 4 + sizeof "_a.bmp" > size) return 0;
    memcpy(maskName, fileName, length - 4);
    memcpy(maskName + length - 4, "_a.bmp", sizeof "_a.bmp");
    return 1;
}

// One pixel's value, whatever its size: 1 to 4 bytes in the host's order.
static Uint32 pixelValue(const uint8_t* at, int bytes) {
    Uint32 value = 0;
    memcpy(&value, at, bytes);
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
    value >>= 8 * (4 - bytes);
#endif
    return value;
}

// One channel by its mask alone: some SDLs (a browser's) leave the shifts and losses unset.
static uint8_t channel(Uint32 value, Uint32 mask) {
    if (mask == 0) return 0;
    int shift = 0, bits = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1) != 0) ++bits;
    const Uint32 level = (value & mask) >> shift;
    return static_cast<uint8_t>(bits >= 8 ? level >> (bits - 8) : level << (8 - bits));
}

uint8_t* pictureRows(const SDL_Surface* picture, bool rgbOrder) {
    if (picture->w <= 0 || picture->h <= 0) return nullptr;
    const size_t width = picture->w, height = picture->h, rowBytes = width * 3;
    uint8_t* rows = static_cast<uint8_t*>(malloc(rowBytes * height));
    if (rows == nullptr) return nullptr;
    const SDL_PixelFormat* f = picture->format;
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* in = static_cast<const uint8_t*>(picture->pixels) + y * picture->pitch;
        uint8_t* out = rows + y * rowBytes;
        // Three bytes a pixel are taken as they are: the name says their order.
        if (f->BytesPerPixel == 3) {
            memcpy(out, in, rowBytes);
            continue;
        }
        for (size_t x = 0; x < width; ++x, in += f->BytesPerPixel, out += 3) {
            const Uint32 value = pixelValue(in, f->BytesPerPixel);
            uint8_t r, g, b;
            if (f->palette != nullptr) {
                const SDL_Color& c = f->palette->colors[value < static_cast<Uint32>(f->palette->ncolors) ? value : 0];
                r = c.r, g = c.g, b = c.b;
            } else {
                r = channel(value, f->Rmask);
                g = channel(value, f->Gmask);
                b = channel(value, f->Bmask);
            }
            out[0] = rgbOrder ? r : b;
            out[1] = g;
            out[2] = rgbOrder ? b : r;
        }
    }
    return rows;
}

// The mask's byte for a pixel: an 8-bit mask's palette index, not its colour; a deeper mask's
// red level, read through its format (a browser decodes every picture to 32 bits, and the
// game's masks are grey with index i shown as grey i).
static uint8_t maskByte(const SDL_Surface* mask, size_t x, size_t y) {
    const SDL_PixelFormat* f = mask->format;
    const uint8_t* at = static_cast<const uint8_t*>(mask->pixels) + y * mask->pitch + x * f->BytesPerPixel;
    if (f->BitsPerPixel == 8) return *at;
    return channel(pixelValue(at, f->BytesPerPixel), f->Rmask);
}

uint8_t* combineRowsAndMask(const uint8_t* rows, int w, int h, const SDL_Surface* mask) {
    // 8 bits as the files are, or 32 as a browser decodes them; other depths are not masks.
    const int depth = mask->format->BitsPerPixel;
    if ((depth != 8 && (depth != 32 || mask->format->palette != nullptr)) || mask->w != w || mask->h != h || w <= 0 ||
        h <= 0)
        return nullptr;
    const size_t width = w, height = h;
    uint8_t* texels = static_cast<uint8_t*>(malloc(width * height * 4));
    if (texels == nullptr) return nullptr;
    uint8_t* out = texels;
    const uint8_t* colour = rows;
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x, colour += 3, out += 4) {
            out[0] = colour[2];
            out[1] = colour[1];
            out[2] = colour[0];
            out[3] = maskByte(mask, x, y);
        }
    return texels;
}

static void bindNewTexture(uint32_t slot) {
    glBindTexture(GL_TEXTURE_2D, slot);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

// A decoded picture as tight rows of three bytes a pixel, in the order its name promises.
struct Picture {
    uint8_t* rows;
    int w, h;
};

static Picture loadPicture(const char* fileName) {
    SDL_Surface* decoded = IMG_Load(nativePath(fileName).text);
    if (decoded == nullptr) fatal("Cannot load texture from %s.", fileName);
    Picture picture = {pictureRows(decoded, picturePixelsAreRgb(fileName)), decoded->w, decoded->h};
    SDL_FreeSurface(decoded);
    if (picture.rows == nullptr) fatal("Cannot load texture from %s.", fileName);
    return picture;
}

static SDL_Surface* loadMask(Picture& picture, const char* maskName) {
    SDL_Surface* mask = SDL_LoadBMP_RW(SDL_RWFromFile(nativePath(maskName).text, "rb"), 1);
    if (mask == nullptr) {
        free(picture.rows);
        fatal("Cannot load alpha mask from %s.", maskName);
    }
    return mask;
}

static void uploadPlain(Picture& picture, const char* fileName) {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.w, picture.h, 0, picturePixelsAreRgb(fileName) ? GL_RGB : GL_BGR,
                 GL_UNSIGNED_BYTE, picture.rows);
    free(picture.rows);
}

// The picture's bytes arrive reversed, so the upload format reverses them back.
static void uploadMasked(Picture& picture, SDL_Surface* mask, const char* fileName, const char* maskName) {
    uint8_t* texels = combineRowsAndMask(picture.rows, picture.w, picture.h, mask);
    SDL_FreeSurface(mask);
    free(picture.rows);
    if (texels == nullptr) fatal("Cannot load alpha mask from %s.", maskName);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, picture.w, picture.h, 0, picturePixelsAreRgb(fileName) ? GL_BGRA : GL_RGBA,
                 GL_UNSIGNED_BYTE, texels);
    free(texels);
}

void loadMaskedTexture(uint32_t& slot, const char* fileName, const char* maskFileName) {
    glGenTextures(1, &slot);
    Picture picture = loadPicture(fileName);
    SDL_Surface* mask = loadMask(picture, maskFileName);
    bindNewTexture(slot);
    uploadMasked(picture, mask, fileName, maskFileName);
}

void loadTexture(uint32_t& slot, const char* fileName, int withMask) {
    if (withMask) {
        char maskName[64];
        if (!deriveMaskName(fileName, maskName, sizeof maskName)) fatal("Cannot load alpha mask from %s.", fileName);
        loadMaskedTexture(slot, fileName, maskName);
        return;
    }
    glGenTextures(1, &slot);
    Picture picture = loadPicture(fileName);
    bindNewTexture(slot);
    uploadPlain(picture, fileName);
}
