// The Qt drawing backend: draws into a QImage that someone else owns (a window's
// client image), or into the pixels of the bitmap selected into a memory DC.
#pragma once

#include <QColor>
#include <QImage>
#include <functional>

#include "../Surface.h"

class QPainter;
struct QtRealFont;

inline QColor ColourOf(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The drawing itself, shared by every Qt surface (images, printers, PDF files) and
// the side panel's rows.
void PaintRun(QPainter& painter, const SurfaceTextRun& run);
// Whole-pixel advance of each of count units; a surrogate pair's second unit has none.
void GlyphAdvances(QtRealFont& real, const WCHAR* text, int count, int* advances);
void PaintRectangle(QPainter& painter, const RECT& rect, const GdiPen& pen, const GdiBrush& brush);
void PaintFill(QPainter& painter, const RECT& rect, const GdiBrush& brush);

class QtSurface : public Surface {
  public:
    // onDraw runs after every drawing call (a window schedules its repaint there);
    // beforeDraw before any, so that the image may be made only when drawn into.
    QtSurface(QImage* image, std::function<void()> onDraw, std::function<void()> beforeDraw = {});

    QImage* image() {
        if (beforeDraw_) beforeDraw_();
        return image_;
    }

    SurfaceFontMetrics Metrics(const LOGFONTW& font) override;
    void Advances(const LOGFONTW& font, const WCHAR* text, int count, int* advances) override;
    void DrawRun(const SurfaceTextRun& run) override;
    void Fill(const RECT& rect, const GdiBrush& brush) override;
    void DrawRectangle(const RECT& rect, const GdiPen& pen, const GdiBrush& brush) override;
    void Stretch(const RECT& dest, const GdiBitmap& source, const RECT& sourceRect) override;
    std::unique_ptr<Surface> CreateCompatible() override;
    void Target(GdiBitmap* bitmap) override;
    std::u16string FaceName(const LOGFONTW& font) override;

  private:
    bool Drawable() {
        QImage* target = image();
        return target && !target->isNull();
    }
    void Drawn();

    QImage* image_;
    QImage bitmapImage_;  // a memory DC's view of its selected bitmap
    std::function<void()> onDraw_, beforeDraw_;
};
