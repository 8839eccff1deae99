// Laying out the largest article of the collection, against Qt's own line breaking
// (QTextLayout) of the same paragraphs at the same width, in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTextLayout>
#include <chrono>
#include <memory>
#include <vector>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/qt/QtApp.h"
#include "platform/qt/QtGdi.h"
#include "platform/qt/QtSurface.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"
#include "views/TextMapping.h"

namespace {

// Counts the extent queries that reach the surface (two per fit measurement).
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

size_t ArticleSize(const BYTE* article) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    const BYTE* end = article;
    while (NextArticleRecord(&walker, &record)) end = record.text + record.textLength + 1;
    return (size_t)(end - article);
}

BYTE* LargestArticle(int* number) {
    BYTE* largest = nullptr;
    size_t largestSize = 0;
    for (int n = 1; n <= kArticleCount; n++) {
        BYTE* article = LoadContent(n, nullptr);
        if (article && ArticleSize(article) > largestSize) {
            free(largest);
            largest = article;
            largestSize = ArticleSize(article);
            *number = n;
        } else {
            free(article);
        }
    }
    return largest;
}

// The same paragraphs as Qt text: mapped to UTF-16, each in its style's font.
struct QtParagraph {
    QString text;
    QFont font;
};

std::vector<QtParagraph> QtParagraphs(const BYTE* article) {
    std::vector<QtParagraph> paragraphs;
    FontSettings settings = {{}, 0, kRestingBase};
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        if (IsSeparatorStyle(record.style)) continue;
        FontCacheEntry entry = {};
        CreateStyleFont(&settings, &entry, record.style & kFontKeyMask);
        SetRunBase(record.style);
        const WCHAR* units = MapText(record.text, (int)record.textLength, &gMapping);
        ResetRunBase();
        paragraphs.push_back({QString::fromUtf16(units), QFontOfHandle(entry.font)});
        DeleteObject(entry.font);
    }
    return paragraphs;
}

int QtLayout(const std::vector<QtParagraph>& paragraphs, int width) {
    int lines = 0;
    for (const QtParagraph& p : paragraphs) {
        QTextLayout layout(p.text, p.font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines++;
        }
        layout.endLayout();
    }
    return lines;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_LayoutLargestArticle(benchmark::State& state) {
    EnsureQtApplication();
    ResetAppState();
    gApp.fontSettings.FontAsciiBase = 1488;
    int width = (int)state.range(0);
    int number = 0;
    BYTE* article = LargestArticle(&number);
    if (!article) {
        state.SkipWithError("no article");
        return;
    }
    QImage image(width, 320, QImage::Format_RGB32);
    auto counting = std::make_unique<CountingSurface>(std::make_unique<QtSurface>(&image, nullptr));
    CountingSurface* counter = counting.get();
    HDC dc = CreateSurfaceDC(std::move(counting));
    RECT rect = {0, 0, width, 320};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    std::vector<QtParagraph> paragraphs = QtParagraphs(article);

    LayoutArticle(view, article, TRUE);  // fonts realised, table grown: the steady state
    counter->queries = 0;
    LayoutArticle(view, view->article, FALSE);
    double queriesPerLine = (double)counter->queries / view->lineCount;

    double ours = 0, qt = 0;
    int qtLines = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        LayoutArticle(view, view->article, FALSE);
        double layout = Seconds(start);
        start = std::chrono::steady_clock::now();
        qtLines = QtLayout(paragraphs, width);
        qt += Seconds(start);
        ours += layout;
        state.SetIterationTime(layout);
    }
    double n = (double)state.iterations();
    state.counters["article"] = number;
    state.counters["lines"] = view->lineCount;
    state.counters["qt_lines"] = qtLines;
    state.counters["fits_per_line"] = queriesPerLine / 2;  // each fit asks the surface twice
    state.counters["ours_us"] = ours / n * 1e6;
    state.counters["qt_us"] = qt / n * 1e6;
    state.counters["ours_over_qt"] = ours / qt;
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}
BENCHMARK(BM_LayoutLargestArticle)->Arg(240)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
