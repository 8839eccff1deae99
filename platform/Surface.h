// The GDI objects behind the handles, the device context record, and the small
// pixel and metric interface (Surface) that each drawing backend implements.
// All DC logic (selection, colours, fitting, alignment) lives in Gdi*.cpp once,
// so every backend measures, places and clips text the same way.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32.h"

enum class GdiKind : uint8_t { Font, Pen, Brush, Bitmap };

struct GdiObject {
    GdiKind kind;
    bool stock = false;          // never deleted
    int stockId = -1;            // GetStockObject index, -1 for created objects
    int selections = 0;          // DCs holding it selected
    bool deletePending = false;  // DeleteObject while selected: freed when released
    explicit GdiObject(GdiKind k) : kind(k) {}
    virtual ~GdiObject() = default;
};

struct GdiFont : GdiObject {
    LOGFONTW logFont{};
    GdiFont() : GdiObject(GdiKind::Font) {}
};

struct GdiPen : GdiObject {
    int style = PS_SOLID;
    int width = 1;  // width 0 is stored as 1
    COLORREF colour = 0;
    GdiPen() : GdiObject(GdiKind::Pen) {}
};

struct GdiBrush : GdiObject {
    bool hollow = false;  // NULL_BRUSH
    COLORREF colour = 0;
    GdiBrush() : GdiObject(GdiKind::Brush) {}
};

// Pixels are kept as 0xFFRRGGBB (the layout of an RGB32 image), top row first,
// whatever the source format was.
struct GdiBitmap : GdiObject {
    int width = 0;
    int height = 0;
    int bitsPixel = 32;   // as reported by GetObjectW
    int resourceId = 0;   // LoadBitmapW identifier, 0 otherwise
    std::vector<uint32_t> pixels;
    GdiBitmap() : GdiObject(GdiKind::Bitmap) {}
};

struct SurfaceFontMetrics {
    int height = 0;  // cell height: every line of this font is this tall
    int ascent = 0;
    int descent = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

// One run of text as the DC logic placed it. positions[i] is the left edge of unit i
// relative to x (positions[count] is the run's extent); y is the top of the cell.
struct SurfaceTextRun {
    const LOGFONTW* font;
    const WCHAR* text;
    int count;
    const int* positions;
    int x;
    int y;
    const RECT* clip;        // null: unclipped
    const RECT* background;  // null: transparent; else filled with backgroundColour first
    COLORREF textColour;
    COLORREF backgroundColour;
    const RECT* callRect;    // the rectangle the caller passed (recorded by the fake), may be null
};

class Surface {
  public:
    virtual ~Surface() = default;
    virtual SurfaceFontMetrics Metrics(const LOGFONTW& font) = 0;
    // Whole-pixel advance of each of count units.
    virtual void Advances(const LOGFONTW& font, const WCHAR* text, int count, int* advances) = 0;
    virtual void DrawRun(const SurfaceTextRun& run) = 0;
    // Fills [left, right) x [top, bottom).
    virtual void Fill(const RECT& rect, const GdiBrush& brush) = 0;
    // Outline one pen width wide on the rectangle's edge pixels, interior in the brush.
    virtual void DrawRectangle(const RECT& rect, const GdiPen& pen, const GdiBrush& brush) = 0;
    virtual void Stretch(const RECT& dest, const GdiBitmap& source, const RECT& sourceRect) = 0;
    // A surface for a memory DC made compatible with this one; it draws into the
    // bitmap given by Target.
    virtual std::unique_ptr<Surface> CreateCompatible() = 0;
    virtual void Target(GdiBitmap* bitmap) {}
    // Told of every SelectObject of a font, pen, brush or bitmap (for recording).
    virtual void Selected(const GdiObject& object) {}
    virtual int LogPixels() { return 96; }
    // The face a font draws with (an empty face name stands for the default one).
    virtual std::u16string FaceName(const LOGFONTW& font) { return font.lfFaceName; }
};

struct GdiDC {
    std::unique_ptr<Surface> surface;
    GdiFont* font = nullptr;
    GdiPen* pen = nullptr;
    GdiBrush* brush = nullptr;
    GdiBitmap* bitmap = nullptr;         // memory DCs only
    GdiBitmap* defaultBitmap = nullptr;  // the memory DC's own 1x1 bitmap, freed with it
    COLORREF textColour = 0x000000;
    COLORREF backgroundColour = 0xFFFFFF;
    int backgroundMode = OPAQUE;
};

// Makes a DC with the default selections (system font, black pen, white brush)
// drawing on the surface; DeleteDC destroys both.
HDC CreateSurfaceDC(std::unique_ptr<Surface> surface);
// The record behind a live DC, or null for anything else.
GdiDC* DCOf(HDC dc);
// Created GDI objects not yet deleted (stock objects are not counted).
int LiveGdiObjectCount();
