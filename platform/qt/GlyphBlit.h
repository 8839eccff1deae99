// Text blended straight into the pixels of an image, four pixels at a time, with
// the arithmetic of Qt's raster engine: Qt's own path spends most of a row of text
// on per-glyph bookkeeping and one pixel at a time. A face is drawn this way only
// once a sample glyph drawn both ways came out identical, so a desktop whose text
// is subpixel or gamma corrected keeps Qt's drawing.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "../win32.h"

class QPainter;
class QRawFont;
struct QtGlyph;
struct QtRealFont;
struct SurfaceTextRun;

// A glyph's coverage, placed from its pen position on the baseline (y grows down).
struct GlyphMask {
    int left = 0, top = 0, width = 0, height = 0;
    int stride = 0;       // a row's bytes: its width made whole groups of four, the rest 0
    bool usable = false;  // false: the face gave no coverage map of one byte a pixel
    std::vector<unsigned char> coverage;  // stride * height, row after row
};

GlyphMask MakeGlyphMask(const QRawFont& face, const QtGlyph& glyph);

// The pixels of an image of 32 bits a pixel that drawing may change: the image's
// own, cut by the clip; right and bottom lie outside.
struct PixelTarget {
    uint32_t* pixels;
    long long stride;  // in pixels
    long long left, top, right, bottom;
};

// A rectangle's edges, right and bottom outside it, wide enough that no sum of
// coordinates overflows.
struct PixelEdges {
    long long left, top, right, bottom;
};

// False when the image's pixels blend otherwise than these functions blend.
bool PixelTargetOf(QImage& image, PixelTarget* target);
void ClipTarget(PixelTarget* target, const PixelEdges& clip);
// An opaque colour over the part of the area inside the target.
void FillPixels(const PixelTarget& target, const PixelEdges& area, COLORREF colour);

// Whether every glyph of the run can be blended here as Qt would draw it.
bool GlyphsBlit(QtRealFont& real, const SurfaceTextRun& run);
// The run's glyphs (not its fill, clip or underline), its pen starting at x on the baseline.
void BlitGlyphs(const PixelTarget& target, QtRealFont& real, const SurfaceTextRun& run, long long x, long long baseline);
// The same through a painter, into the image it draws on; false having drawn
// nothing when its target, transform or clip, or one of the run's faces, is not
// one this can draw into.
bool BlitGlyphs(QPainter& painter, QtRealFont& real, const SurfaceTextRun& run, int baseline);
