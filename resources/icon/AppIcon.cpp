// resources/icon/ is the program's icon, drawn once for the window and the desktop.
#include "AppIcon.h"

#include <cstdio>

namespace {

constexpr uint32_t kCover = 0xFF2B3A55;
constexpr uint32_t kPage = 0xFFFFFFFF;
constexpr uint32_t kEdge = 0xFFD8DCE4;
constexpr uint32_t kLeftText = 0xFF1F4FBF;
constexpr uint32_t kRightText = 0xFFB03020;

// An open book seen from above: the cover behind two pages that rise towards the
// spine, blue lines of text on the left page and red ones on the right.
const IconShape kShapes[] = {
    {kCover, {{8, 52}, {248, 52}, {248, 220}, {8, 220}}},
    {kCover, {{100, 220}, {156, 220}, {148, 240}, {108, 240}}},
    {kEdge, {{22, 40}, {126, 56}, {126, 214}, {22, 204}}},
    {kEdge, {{130, 56}, {234, 40}, {234, 204}, {130, 214}}},
    {kPage, {{26, 34}, {124, 50}, {124, 206}, {26, 196}}},
    {kPage, {{132, 50}, {230, 34}, {230, 196}, {132, 206}}},
    {kLeftText, {{44, 70}, {108, 80}, {108, 94}, {44, 84}}},
    {kLeftText, {{44, 100}, {108, 110}, {108, 124}, {44, 114}}},
    {kLeftText, {{44, 130}, {108, 140}, {108, 154}, {44, 144}}},
    {kLeftText, {{44, 160}, {88, 167}, {88, 181}, {44, 174}}},
    {kRightText, {{148, 80}, {212, 70}, {212, 84}, {148, 94}}},
    {kRightText, {{148, 110}, {212, 100}, {212, 114}, {148, 124}}},
    {kRightText, {{148, 140}, {212, 130}, {212, 144}, {148, 154}}},
    {kRightText, {{168, 167}, {212, 160}, {212, 174}, {168, 181}}},
};

}  // namespace

const IconDrawing kAppIcon = {kShapes, sizeof kShapes / sizeof kShapes[0]};

std::string IconSvg(const IconDrawing& drawing) {
    char line[160];
    snprintf(line, sizeof line,
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n",
             kIconGrid, kIconGrid, kIconGrid, kIconGrid);
    std::string svg = line;
    for (int i = 0; i < drawing.count; i++) {
        const IconShape& s = drawing.shapes[i];
        svg += "  <polygon points=\"";
        for (int p = 0; p < kIconShapePoints; p++) {
            snprintf(line, sizeof line, "%s%d,%d", p ? " " : "", s.points[p][0], s.points[p][1]);
            svg += line;
        }
        snprintf(line, sizeof line, "\" fill=\"#%06X\" fill-opacity=\"%.3g\"/>\n", (unsigned)(s.colour & 0xFFFFFF),
                 (s.colour >> 24) / 255.0);
        svg += line;
    }
    return svg + "</svg>\n";
}
