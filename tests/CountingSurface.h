// A surface that passes everything on to another and counts the extent queries
// that reach it (a fit measurement asks twice).
#pragma once

#include <memory>

#include "platform/Surface.h"

class CountingSurface : public Surface {
  public:
    explicit CountingSurface(std::unique_ptr<Surface> inner) : inner_(std::move(inner)) {}
    long queries = 0;

    SurfaceFontMetrics Metrics(const LOGFONTW& font) override { return inner_->Metrics(font); }
    void Advances(const LOGFONTW& font, const WCHAR* text, int count, int* advances) override {
        queries++;
        inner_->Advances(font, text, count, advances);
    }
    void DrawRun(const SurfaceTextRun& run) override { inner_->DrawRun(run); }
    void Fill(const RECT& rect, const GdiBrush& brush) override { inner_->Fill(rect, brush); }
    void DrawRectangle(const RECT& rect, const GdiPen& pen, const GdiBrush& brush) override {
        inner_->DrawRectangle(rect, pen, brush);
    }
    void Stretch(const RECT& dest, const GdiBitmap& source, const RECT& sourceRect) override {
        inner_->Stretch(dest, source, sourceRect);
    }
    std::unique_ptr<Surface> CreateCompatible() override { return inner_->CreateCompatible(); }

  private:
    std::unique_ptr<Surface> inner_;
};
