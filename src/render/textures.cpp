#include "render/textures.h"

#include "platform/fatal.h"
#include "platform/paths.h"

#include <SDL_image.h>
#include <SDL_opengl.h>
#include <cstdlib>
#include <cstring>

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

SDL_Surface* pictureAsTriples(SDL_Surface* picture, bool rgbOrder) {
    if (picture->format->BytesPerPixel == 3) return picture;
    SDL_PixelFormat format = {};
    format.BitsPerPixel = 24;
    format.BytesPerPixel = 3;
    // Byte 0 holds red for RGB order; on little-endian hosts that is the low mask bits.
    const Uint32 low = 0x0000FF, high = 0xFF0000;
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
    format.Rmask = rgbOrder ? high : low;
    format.Bmask = rgbOrder ? low : high;
#else
    format.Rmask = rgbOrder ? low : high;
    format.Bmask = rgbOrder ? high : low;
#endif
    format.Gmask = 0x00FF00;
    format.Rshift = static_cast<Uint8>(format.Rmask == low ? 0 : 16);
    format.Gshift = 8;
    format.Bshift = static_cast<Uint8>(format.Bmask == low ? 0 : 16);
    format.alpha = 255;
    return SDL_ConvertSurface(picture, &format, SDL_SWSURFACE);
}

uint8_t* combinePictureAndMask(const SDL_Surface* triples, const SDL_Surface* mask) {
    if (triples->format->BytesPerPixel != 3 || mask->format->BitsPerPixel != 8 || mask->w != triples->w ||
        mask->h != triples->h || triples->w <= 0 || triples->h <= 0)
        return nullptr;
    const size_t width = triples->w, height = triples->h;
    uint8_t* texels = static_cast<uint8_t*>(malloc(width * height * 4));
    if (texels == nullptr) return nullptr;
    uint8_t* out = texels;
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* colour = static_cast<const uint8_t*>(triples->pixels) + y * triples->pitch;
        const uint8_t* alpha = static_cast<const uint8_t*>(mask->pixels) + y * mask->pitch;
        for (size_t x = 0; x < width; ++x, colour += 3, out += 4) {
            out[0] = colour[2];
            out[1] = colour[1];
            out[2] = colour[0];
            out[3] = alpha[x];
        }
    }
    return texels;
}

// Copies the rows without the decoder's padding, so the upload can assume tight rows.
static uint8_t* tightRows(const SDL_Surface* triples) {
    const size_t rowBytes = static_cast<size_t>(triples->w) * 3;
    uint8_t* rows = static_cast<uint8_t*>(malloc(rowBytes * triples->h));
    if (rows == nullptr) return nullptr;
    for (int y = 0; y < triples->h; ++y)
        memcpy(rows + y * rowBytes, static_cast<const uint8_t*>(triples->pixels) + y * triples->pitch, rowBytes);
    return rows;
}

static void bindNewTexture(uint32_t slot) {
    glBindTexture(GL_TEXTURE_2D, slot);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

static SDL_Surface* loadPicture(const char* fileName) {
    SDL_Surface* decoded = IMG_Load(nativePath(fileName).text);
    if (decoded == nullptr) fatal("Cannot load texture from %s.", fileName);
    SDL_Surface* triples = pictureAsTriples(decoded, picturePixelsAreRgb(fileName));
    if (triples != decoded) SDL_FreeSurface(decoded);
    if (triples == nullptr) fatal("Cannot load texture from %s.", fileName);
    return triples;
}

static SDL_Surface* loadMask(SDL_Surface* picture, const char* maskName) {
    SDL_Surface* mask = SDL_LoadBMP_RW(SDL_RWFromFile(nativePath(maskName).text, "rb"), 1);
    if (mask == nullptr) {
        SDL_FreeSurface(picture);
        fatal("Cannot load alpha mask from %s.", maskName);
    }
    return mask;
}

static void uploadPlain(SDL_Surface* picture, const char* fileName) {
    uint8_t* rows = tightRows(picture);
    if (rows == nullptr) {
        SDL_FreeSurface(picture);
        fatal("Cannot load texture from %s.", fileName);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 3, picture->w, picture->h, 0, picturePixelsAreRgb(fileName) ? GL_RGB : GL_BGR,
                 GL_UNSIGNED_BYTE, rows);
    free(rows);
    SDL_FreeSurface(picture);
}

// The picture's bytes arrive reversed, so the upload format reverses them back.
static void uploadMasked(SDL_Surface* picture, SDL_Surface* mask, const char* fileName, const char* maskName) {
    uint8_t* texels = combinePictureAndMask(picture, mask);
    if (texels == nullptr) {
        SDL_FreeSurface(mask);
        SDL_FreeSurface(picture);
        fatal("Cannot load alpha mask from %s.", maskName);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 4, picture->w, picture->h, 0, picturePixelsAreRgb(fileName) ? GL_BGRA : GL_RGBA,
                 GL_UNSIGNED_BYTE, texels);
    free(texels);
    SDL_FreeSurface(mask);
    SDL_FreeSurface(picture);
}

void loadMaskedTexture(uint32_t& slot, const char* fileName, const char* maskFileName) {
    glGenTextures(1, &slot);
    SDL_Surface* picture = loadPicture(fileName);
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
    SDL_Surface* picture = loadPicture(fileName);
    bindNewTexture(slot);
    uploadPlain(picture, fileName);
}
