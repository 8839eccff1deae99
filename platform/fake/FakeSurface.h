// A drawing surface for exact tests: fixed, configurable metrics and a record of
// every drawing call in order. It produces no pixels.
//
//     FakeMetrics metrics;                 // 8 px per unit, tmMaxCharWidth 10
//     HDC dc = CreateFakeDC(metrics);
//     ... code under test draws on dc ...
//     for (const FakeCall& call : FakeRecord(dc))
//         if (call.kind == FakeCallKind::Text) EXPECT_EQ(call.x, 22);
//     auto runs = FakeCallsOf(dc, FakeCallKind::Text);
//     ClearFakeRecord(dc);
//     DeleteDC(dc);
//
// The DC logic is the real one (platform/Gdi*.cpp): text is placed, centred,
// clipped and made opaque exactly as on the Qt surface; only metrics and pixels
// are replaced.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "../win32.h"

struct FakeMetrics {
    // Advance of one UTF-16 unit in pixels. advanceOf, when set, decides per unit
    // and font; otherwise every unit is `advance` wide.
    int advance = 8;
    std::function<int(WCHAR unit, int height, int weight)> advanceOf;
    // Cell height (tmHeight) of a font: cellHeightOf when set; otherwise the font's
    // height (negative heights count as their size), or 16 for height 0.
    std::function<int(int height, int weight)> cellHeightOf;
    // tmMaxCharWidth: maxCharWidthOf when set, else maxCharWidth.
    int maxCharWidth = 10;
    std::function<int(int height, int weight)> maxCharWidthOf;
    int logPixels = 96;  // GetDeviceCaps(LOGPIXELSY)
};

enum class FakeCallKind {
    Text,        // DrawTextW / ExtTextOutW
    Fill,        // FillRect
    Rectangle,   // Rectangle
    Blit,        // BitBlt / StretchBlt
    SelectFont,  // SelectObject of a font
    SelectPen,
    SelectBrush,
    SelectBitmap,
};

// One recorded call; only the fields of its kind are filled.
struct FakeCall {
    FakeCallKind kind = FakeCallKind::Text;
    // Text: the units, the cell's top-left as placed by the DC logic, the
    // rectangle the caller passed (zero for ExtTextOutW without one), colours,
    // whether the background was painted, and the selected font.
    std::u16string text;
    int x = 0;
    int y = 0;
    RECT rect{};  // Text: caller's rectangle; Fill/Rectangle: the rectangle; Blit: destination
    COLORREF textColour = 0;
    COLORREF backgroundColour = 0;
    bool opaque = false;
    RECT background{};  // Text: the area filled with the background colour when opaque
    int extent = 0;     // Text: width of the run
    int fontHeight = 0;
    int fontWeight = 0;
    std::u16string fontFace;
    // Rectangle and SelectPen: the pen.
    COLORREF penColour = 0;
    int penWidth = 0;
    int penStyle = 0;
    // Fill, Rectangle and SelectBrush: the brush (stock index or -1 for a created one).
    COLORREF brushColour = 0;
    int brushStock = -1;
    bool brushHollow = false;
    // Blit: the source bitmap's handle and resource identifier (0 when not loaded
    // from a resource) and the source rectangle. Select*: the object selected.
    HGDIOBJ object = nullptr;
    int bitmapId = 0;
    RECT source{};
};

HDC CreateFakeDC(const FakeMetrics& metrics = FakeMetrics());
// The calls drawn on the DC so far (empty for a DC that is not a fake one).
const std::vector<FakeCall>& FakeRecord(HDC dc);
std::vector<FakeCall> FakeCallsOf(HDC dc, FakeCallKind kind);
void ClearFakeRecord(HDC dc);
