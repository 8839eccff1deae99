// The program's icon as one vector drawing: the window icon, the installed
// bitmaps of every size and the scalable picture are all made from it.
#pragma once

#include <cstdint>
#include <string>

constexpr int kIconGrid = 256;  // the drawing's own units, square
constexpr int kIconShapePoints = 4;

// A filled four-cornered shape; corners in drawing units, colour 0xAARRGGBB.
struct IconShape {
    uint32_t colour;
    int16_t points[kIconShapePoints][2];
};

struct IconDrawing {
    const IconShape* shapes;  // painted in order, later ones on top
    int count;
};

extern const IconDrawing kAppIcon;

// The drawing as a standalone SVG document.
std::string IconSvg(const IconDrawing& drawing);
