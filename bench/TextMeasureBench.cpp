// Cost of measuring and drawing one line of text on the Qt surface, the two
// operations layout and painting repeat for every line.
#include <benchmark/benchmark.h>

#include <QImage>
#include <string>

#include "platform/qt/QtGdi.h"

namespace {
const std::u16string kLine = u"The reader lays out every paragraph by fitting runs like this one \u05D0\u05D1\u05D2.";

struct LineCanvas {
    QImage image{480, 40, QImage::Format_RGB32};
    HDC dc;
    HFONT font;
    HGDIOBJ previous;
    LineCanvas() {
        image.fill(Qt::white);
        dc = CreateImageDC(&image);
        LOGFONTW description{};
        description.lfHeight = 16;
        font = CreateFontIndirectW(&description);
        previous = SelectObject(dc, font);
    }
    ~LineCanvas() {
        SelectObject(dc, previous);
        DeleteObject(font);
        DestroyImageDC(dc);
    }
};
}  // namespace

static void BM_FitLine(benchmark::State& state) {
    LineCanvas canvas;
    int fit = 0;
    for (auto _ : state) {
        GetTextExtentExPointW(canvas.dc, kLine.data(), (int)kLine.size(), 220, &fit, nullptr, nullptr);
        benchmark::DoNotOptimize(fit);
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)kLine.size());
}
BENCHMARK(BM_FitLine);

static void BM_DrawLine(benchmark::State& state) {
    LineCanvas canvas;
    SIZE size{};
    GetTextExtentPoint32W(canvas.dc, kLine.data(), (int)kLine.size(), &size);
    RECT box{4, 4, 4 + size.cx, 4 + size.cy};
    for (auto _ : state) {
        DrawTextW(canvas.dc, kLine.data(), (int)kLine.size(), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)kLine.size());
}
BENCHMARK(BM_DrawLine);
