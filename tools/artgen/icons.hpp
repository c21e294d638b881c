#pragma once
// The desktop icon: the window icon's gold Z on a tile, on a rounded plate of abyss, drawn
// afresh at each size so the small ones stay sharp rather than scaled down.
#include <string>

#include "image.hpp"

constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

Image desktop_icon(int size);

// Writes zembrak-<size>.png for every size into the folder.
void make_icons(const std::string& dir);
