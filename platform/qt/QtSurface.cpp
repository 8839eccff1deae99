#include "QtSurface.h"

#include <climits>

#include <QGlyphRun>
#include <QPainter>

#include "../GdiInternal.h"
#include "../Utf16.h"
#include "GlyphBlit.h"
#include "QtApp.h"
#include "QtFonts.h"
#include "QtGdi.h"

namespace {
PixelEdges EdgesOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
QRect RectOf(const RECT& r) { return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top)); }

// GDI's fills of inverted rectangles are left to the painter, which turns them round.
bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }

// Where an underlined run's line lies: under the whole run, a little below the baseline.
PixelEdges UnderlineOf(const QtRealFont& real, const SurfaceTextRun& run, long long baseline) {
    long long top = baseline + std::max(1, real.metrics.descent / 3);
    return {run.x, top, (long long)run.x + run.positions[run.count], top + std::max(1, real.metrics.height / 16)};
}

// Whether everything the run draws (fill, glyphs, underline) lies inside rect: a
// clip would then change nothing, and setting one costs the raster engine a pass
// over every line of the image for each run, more than drawing its glyphs.
bool StaysInside(QtRealFont& real, const SurfaceTextRun& run, int baseline, const RECT& rect) {
    RECT ink = run.background ? *run.background : RECT{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    auto take = [&ink](int left, int top, int right, int bottom) {
        ink = RECT{std::min<LONG>(ink.left, left), std::min<LONG>(ink.top, top), std::max<LONG>(ink.right, right),
                   std::max<LONG>(ink.bottom, bottom)};
    };
    ForEachCharacter(run.text, run.count, [&](int i, char32_t c) {
        const QtGlyph& glyph = GlyphOf(real, c);
        int x = run.x + run.positions[i];
        take(x + glyph.inkLeft, baseline + glyph.inkTop, x + glyph.inkRight, baseline + glyph.inkBottom);
    });
    if (run.font->lfUnderline && run.count > 0) {
        PixelEdges line = UnderlineOf(real, run, baseline);
        take((int)line.left, (int)line.top, (int)line.right, (int)line.bottom);
    }
    return ink.left >= rect.left && ink.top >= rect.top && ink.right <= rect.right && ink.bottom <= rect.bottom;
}

QImage ImageOfPixels(const GdiBitmap& bitmap) {
    return QImage(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                  bitmap.width * 4, QImage::Format_RGB32);
}
}  // namespace

QtSurface::QtSurface(QImage* image, std::function<void()> onDraw, std::function<void()> beforeDraw)
    : image_(image), onDraw_(std::move(onDraw)), beforeDraw_(std::move(beforeDraw)) {
    EnsureQtApplication();
}

void QtSurface::Drawn() {
    if (onDraw_) onDraw_();
}

SurfaceFontMetrics QtSurface::Metrics(const LOGFONTW& font) { return RealiseFont(font).metrics; }

std::u16string QtSurface::FaceName(const LOGFONTW& font) {
    if (font.lfFaceName[0]) return font.lfFaceName;
    return DefaultFontFamily().toStdU16String();
}

void QtSurface::Advances(const LOGFONTW& font, const WCHAR* text, int count, int* advances) {
    GlyphAdvances(RealiseFont(font), text, count, advances);
}

void GlyphAdvances(QtRealFont& real, const WCHAR* text, int count, int* advances) {
    std::fill(advances, advances + count, 0);
    ForEachCharacter(text, count, [&](int i, char32_t c) { advances[i] = GlyphOf(real, c).advance; });
}

namespace {
// Consecutive characters from the same face go out as one glyph run, each glyph
// at the position the DC logic measured: the run is never reordered. The lists
// are made once a run: emptied only after the glyph run that shares them is gone,
// they keep their room.
void PaintGlyphRuns(QPainter& painter, QtRealFont& real, const SurfaceTextRun& run, int baseline) {
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(run.count);
    positions.reserve(run.count);
    int face = -1;
    auto flush = [&]() {
        if (indexes.isEmpty()) return;
        {
            QGlyphRun glyphs;
            glyphs.setRawFont(real.faces[face]);
            glyphs.setGlyphIndexes(indexes);
            glyphs.setPositions(positions);
            painter.drawGlyphRun(QPointF(0, 0), glyphs);
        }
        indexes.clear();
        positions.clear();
    };
    ForEachCharacter(run.text, run.count, [&](int i, char32_t c) {
        const QtGlyph& glyph = GlyphOf(real, c);
        if (glyph.face != face) {
            flush();
            face = glyph.face;
        }
        indexes.append(glyph.index);
        positions.append(QPointF(run.x + run.positions[i], baseline));
    });
    flush();
}
}  // namespace

void PaintRun(QPainter& painter, const SurfaceTextRun& run) {
    QtRealFont& real = RealiseFont(*run.font);
    int baseline = run.y + real.metrics.ascent;
    bool clipped = run.clip && !StaysInside(real, run, baseline, *run.clip);
    if (clipped) painter.setClipRect(RectOf(*run.clip));
    if (run.background) painter.fillRect(RectOf(*run.background), ColourOf(run.backgroundColour));
    painter.setPen(ColourOf(run.textColour));
    // Into an image, the glyphs are blended here; on paper, in a PDF or where the
    // desktop's text differs, Qt draws them.
    if (!BlitGlyphs(painter, real, run, baseline)) PaintGlyphRuns(painter, real, run, baseline);
    if (run.font->lfUnderline && run.count > 0) {
        PixelEdges line = UnderlineOf(real, run, baseline);
        painter.fillRect(QRect((int)line.left, (int)line.top, (int)(line.right - line.left), (int)(line.bottom - line.top)),
                         ColourOf(run.textColour));
    }
    if (clipped) painter.setClipping(false);
}

void PaintRectangle(QPainter& painter, const RECT& rect, const GdiPen& pen, const GdiBrush& brush) {
    QRect area = RectOf(rect);
    int w = pen.style == PS_NULL ? 0 : std::min({pen.width, (area.width() + 1) / 2, (area.height() + 1) / 2});
    if (!brush.hollow) painter.fillRect(area.adjusted(w, w, -w, -w), ColourOf(brush.colour));
    if (w > 0) {
        QColor colour = ColourOf(pen.colour);
        painter.fillRect(QRect(area.left(), area.top(), area.width(), w), colour);
        painter.fillRect(QRect(area.left(), area.bottom() - w + 1, area.width(), w), colour);
        painter.fillRect(QRect(area.left(), area.top(), w, area.height()), colour);
        painter.fillRect(QRect(area.right() - w + 1, area.top(), w, area.height()), colour);
    }
}

void PaintFill(QPainter& painter, const RECT& rect, const GdiBrush& brush) {
    painter.fillRect(RectOf(rect), ColourOf(brush.colour));
}

namespace {
// A run drawn straight into the image's pixels, with no painter: one made for each
// run cost more than the run's glyphs. False having drawn nothing when the image or
// a face blends otherwise, or the fill is turned inside out.
bool DrawRunIntoPixels(QImage& image, const SurfaceTextRun& run) {
    PixelTarget target;
    QtRealFont& real = RealiseFont(*run.font);
    if ((run.background && Inverted(*run.background)) || !PixelTargetOf(image, &target) || !GlyphsBlit(real, run))
        return false;
    if (run.clip) ClipTarget(&target, EdgesOf(*run.clip));
    long long baseline = (long long)run.y + real.metrics.ascent;
    if (run.background) FillPixels(target, EdgesOf(*run.background), run.backgroundColour);
    BlitGlyphs(target, real, run, run.x, baseline);
    if (run.font->lfUnderline && run.count > 0) FillPixels(target, UnderlineOf(real, run, baseline), run.textColour);
    return true;
}
}  // namespace

void QtSurface::DrawRun(const SurfaceTextRun& run) {
    if (!Drawable()) return;
    if (!DrawRunIntoPixels(*image_, run)) {
        QPainter painter(image_);
        PaintRun(painter, run);
    }
    Drawn();
}

void QtSurface::Fill(const RECT& rect, const GdiBrush& brush) {
    if (!Drawable()) return;
    PixelTarget target;
    if (!Inverted(rect) && PixelTargetOf(*image_, &target)) {
        FillPixels(target, EdgesOf(rect), brush.colour);
    } else {
        QPainter painter(image_);
        PaintFill(painter, rect, brush);
    }
    Drawn();
}

void QtSurface::DrawRectangle(const RECT& rect, const GdiPen& pen, const GdiBrush& brush) {
    if (!Drawable()) return;
    QPainter painter(image_);
    PaintRectangle(painter, rect, pen, brush);
    painter.end();
    Drawn();
}

void QtSurface::Stretch(const RECT& dest, const GdiBitmap& source, const RECT& sourceRect) {
    if (!Drawable()) return;
    QImage from = ImageOfPixels(source);
    if (from.constBits() == image_->constBits()) from = from.copy();  // a bitmap copied onto itself
    QPainter painter(image_);
    painter.drawImage(RectOf(dest), from, RectOf(sourceRect));  // nearest pixel, as the platform stretches
    painter.end();
    Drawn();
}

std::unique_ptr<Surface> QtSurface::CreateCompatible() { return std::make_unique<QtSurface>(nullptr, nullptr); }

void QtSurface::Target(GdiBitmap* bitmap) {
    if (!bitmap) return;
    bitmapImage_ = QImage(reinterpret_cast<uchar*>(bitmap->pixels.data()), bitmap->width, bitmap->height,
                          bitmap->width * 4, QImage::Format_RGB32);
    image_ = &bitmapImage_;
}

// ---- The API the window layer uses ----

HDC CreateImageDC(QImage* image, std::function<void()> onDraw, std::function<void()> beforeDraw) {
    return CreateSurfaceDC(std::make_unique<QtSurface>(image, std::move(onDraw), std::move(beforeDraw)));
}

void DestroyImageDC(HDC dc) { DeleteDC(dc); }

QImage* ImageOfDC(HDC dc) {
    GdiDC* record = DCOf(dc);
    auto* surface = record ? dynamic_cast<QtSurface*>(record->surface.get()) : nullptr;
    return surface ? surface->image() : nullptr;
}

QImage ImageOfBitmap(HBITMAP bitmap) {
    auto* record = GdiObjectAs<GdiBitmap>(bitmap, GdiKind::Bitmap);
    return record ? ImageOfPixels(*record).copy() : QImage();
}

QFont QFontOfHandle(HFONT font) {
    auto* record = GdiObjectAs<GdiFont>(font, GdiKind::Font);
    return QFontFromLogFont(record ? record->logFont : LOGFONTW{});
}
