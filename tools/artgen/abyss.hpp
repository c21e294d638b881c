#pragma once
#include <cstdint>

#include "image.hpp"

// Opaque violet depths with mist and soft stars. With tile > 0 the picture
// wraps seamlessly every `tile` pixels (w and h must equal tile).
Image abyss_field(int w, int h, int tile, uint32_t seed, int stars);
