// platform/fake/ is a recording drawing surface, for exact tests of what is drawn.
// The recording surface behind CreateFakeDC.
#include "FakeSurface.h"

#include "../Surface.h"

namespace {
FakeCall CallOf(FakeCallKind kind) {
    FakeCall call;
    call.kind = kind;
    return call;
}

class FakeSurface : public Surface {
  public:
    explicit FakeSurface(const FakeMetrics& metrics) : metrics_(metrics) {}

    std::vector<FakeCall> record;

    SurfaceFontMetrics Metrics(const LOGFONTW& font) override {
        SurfaceFontMetrics m;
        int height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        m.height = metrics_.cellHeightOf ? metrics_.cellHeightOf(font.lfHeight, font.lfWeight) : height ? height : 16;
        m.ascent = m.height * 4 / 5;
        m.descent = m.height - m.ascent;
        m.aveCharWidth = metrics_.advance;
        m.maxCharWidth =
            metrics_.maxCharWidthOf ? metrics_.maxCharWidthOf(font.lfHeight, font.lfWeight) : metrics_.maxCharWidth;
        return m;
    }

    void Advances(const LOGFONTW& font, const WCHAR* text, int count, int* advances) override {
        for (int i = 0; i < count; i++) {
            advances[i] = metrics_.advanceOf ? metrics_.advanceOf(text[i], font.lfHeight, font.lfWeight)
                                             : metrics_.advance;
        }
    }

    void DrawRun(const SurfaceTextRun& run) override {
        FakeCall call = CallOf(FakeCallKind::Text);
        if (run.text) call.text.assign(run.text, run.count);
        call.x = run.x;
        call.y = run.y;
        if (run.callRect) call.rect = *run.callRect;
        call.textColour = run.textColour;
        call.backgroundColour = run.backgroundColour;
        call.opaque = run.background != nullptr;
        if (run.background) call.background = *run.background;
        call.extent = run.positions[run.count];
        call.fontHeight = run.font->lfHeight;
        call.fontWeight = run.font->lfWeight;
        call.fontFace = run.font->lfFaceName;
        record.push_back(call);
    }

    void Fill(const RECT& rect, const GdiBrush& brush) override {
        FakeCall call = CallOf(FakeCallKind::Fill);
        call.rect = rect;
        SetBrush(call, brush);
        record.push_back(call);
    }

    void DrawRectangle(const RECT& rect, const GdiPen& pen, const GdiBrush& brush) override {
        FakeCall call = CallOf(FakeCallKind::Rectangle);
        call.rect = rect;
        SetPen(call, pen);
        SetBrush(call, brush);
        record.push_back(call);
    }

    void Stretch(const RECT& dest, const GdiBitmap& source, const RECT& sourceRect) override {
        FakeCall call = CallOf(FakeCallKind::Blit);
        call.rect = dest;
        call.object = (HGDIOBJ)&source;
        call.bitmapId = source.resourceId;
        call.source = sourceRect;
        record.push_back(call);
    }

    std::unique_ptr<Surface> CreateCompatible() override { return std::make_unique<FakeSurface>(metrics_); }

    void Selected(const GdiObject& object) override {
        FakeCall call = CallOf(FakeCallKind::SelectFont);
        call.object = (HGDIOBJ)&object;
        switch (object.kind) {
            case GdiKind::Font: {
                const LOGFONTW& font = static_cast<const GdiFont&>(object).logFont;
                call.fontHeight = font.lfHeight;
                call.fontWeight = font.lfWeight;
                call.fontFace = font.lfFaceName;
                break;
            }
            case GdiKind::Pen:
                call.kind = FakeCallKind::SelectPen;
                SetPen(call, static_cast<const GdiPen&>(object));
                break;
            case GdiKind::Brush:
                call.kind = FakeCallKind::SelectBrush;
                SetBrush(call, static_cast<const GdiBrush&>(object));
                break;
            case GdiKind::Bitmap:
                call.kind = FakeCallKind::SelectBitmap;
                call.bitmapId = static_cast<const GdiBitmap&>(object).resourceId;
                break;
        }
        record.push_back(call);
    }

    int LogPixels() override { return metrics_.logPixels; }

  private:
    static void SetPen(FakeCall& call, const GdiPen& pen) {
        call.penColour = pen.colour;
        call.penWidth = pen.width;
        call.penStyle = pen.style;
    }
    static void SetBrush(FakeCall& call, const GdiBrush& brush) {
        call.brushColour = brush.colour;
        call.brushStock = brush.stockId;
        call.brushHollow = brush.hollow;
    }

    FakeMetrics metrics_;
};

FakeSurface* FakeOf(HDC dc) {
    GdiDC* record = DCOf(dc);
    return record ? dynamic_cast<FakeSurface*>(record->surface.get()) : nullptr;
}
}  // namespace

HDC CreateFakeDC(const FakeMetrics& metrics) { return CreateSurfaceDC(std::make_unique<FakeSurface>(metrics)); }

const std::vector<FakeCall>& FakeRecord(HDC dc) {
    static const std::vector<FakeCall> kNone;
    FakeSurface* fake = FakeOf(dc);
    return fake ? fake->record : kNone;
}

std::vector<FakeCall> FakeCallsOf(HDC dc, FakeCallKind kind) {
    std::vector<FakeCall> calls;
    for (const FakeCall& call : FakeRecord(dc)) {
        if (call.kind == kind) calls.push_back(call);
    }
    return calls;
}

void ClearFakeRecord(HDC dc) {
    if (FakeSurface* fake = FakeOf(dc)) fake->record.clear();
}
