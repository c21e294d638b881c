#pragma once
#include "palette.hpp"

// Cross-section of the frame wall: column 0 is the outer side, 29 the side facing the board.
Rgb wall_profile(int col);
