// A DC over an off-screen picture that can be written out as a PNG file, for
// rendering without a window (served in qt/PictureDC.cpp).
#pragma once

#include "win32.h"

// A white width x height picture and a DC drawing into it; null when the size is
// not positive or memory is short.
HDC CreatePictureDC(int width, int height);
// Writes the picture as PNG; false when it cannot be written.
bool WritePicturePng(HDC dc, const char* path);
// Deletes the DC and its picture.
void DestroyPictureDC(HDC dc);
