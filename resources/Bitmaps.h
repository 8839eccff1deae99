// Identifiers of the bitmap resources (RT_BITMAP, loaded with LoadBitmapW).
#pragma once

constexpr int kBitmapAbout = 113;          // About box picture, 72 x 32
constexpr int kBitmapToolButtons = 114;    // six 16 x 16 tool button images side by side
constexpr int kBitmapIconCollapsed = 201;  // index icons, 9 x 9, one bit per pixel
constexpr int kBitmapIconExpanded = 202;
constexpr int kBitmapIconLink = 203;

constexpr int kToolButtonSize = 16;
// The tool buttons are drawn on the button face colour, which a bar may treat as
// transparent: previous article, index, next article, font, search, search again.
constexpr unsigned kToolButtonFace = 0xC0C0C0;  // 0xRRGGBB
