// Paints the icon drawing into a square bitmap of any size.
#pragma once

#include <vector>

#include "../../../resources/icon/AppIcon.h"

// The drawing at size x size pixels, smoothed, as PNG bytes; empty on failure.
std::vector<unsigned char> PaintIconPng(const IconDrawing& drawing, int size);
