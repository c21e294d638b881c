// Pictures with optional 8-bit alpha masks turned into OpenGL textures.
#pragma once

#include <SDL.h>

#include <cstdint>

// Loads a picture into a new texture in `slot`; with `withMask` the mask is the picture's
// name with "_a.bmp" for its extension. Ends the program when either file is unusable.
void loadTexture(uint32_t& slot, const char* fileName, int withMask);

// As loadTexture with the mask's file name given.
void loadMaskedTexture(uint32_t& slot, const char* fileName, const char* maskFileName);

// The mask name for a picture: its last four characters replaced by "_a.bmp". Returns 0 when
// the name does not fit into `size` bytes.
int deriveMaskName(const char* fileName, char* maskName, size_t size);

// Picture bytes are R, G, B when the name ends in a lower-case 'g' (".jpg"), else B, G, R.
bool picturePixelsAreRgb(const char* fileName);

// The picture as tight rows of three bytes a pixel, read through its own pixel format
// (masks, shifts, palette): three-byte pixels are copied as they are, others are put in the
// order the name promises. The caller frees the result with free(); null when it is empty.
uint8_t* pictureRows(const SDL_Surface* picture, bool rgbOrder);

// Four bytes a texel from tight rows of a `w` by `h` picture: each pixel's bytes reversed, then
// the mask byte (an 8-bit mask's index, a 32-bit mask's red level). The mask must be 8- or
// 32-bit and the picture's size; returns null otherwise. The caller frees the result with free().
uint8_t* combineRowsAndMask(const uint8_t* rows, int w, int h, const SDL_Surface* mask);
