// Laying out the largest article of the collection, against Qt's own line breaking
// (QTextLayout) of the same paragraphs at the same width, in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTextLayout>
#include <time.h>
#include <chrono>
#include <cmath>
#include <string>
#include <memory>
#include <vector>

#include "ArticleText.h"
#include "Goals.h"
#include "tests/CountingSurface.h"
#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/qt/QtApp.h"
#include "platform/qt/QtGdi.h"
#include "platform/qt/QtSurface.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"
#include "views/TextMapping.h"

namespace {

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
    ReportGoal({"layout, article " + std::to_string(number) + ", " + std::to_string(width) + " px",
                Fixed(ours / n * 1000, 3) + " ms", "QTextLayout: " + Fixed(qt / n * 1000, 3) + " ms", ours / qt,
                "<= 0.2x", ours / qt <= 0.2});
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}
BENCHMARK(BM_LayoutLargestArticle)->Arg(240)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// The largest article's text run together into one paragraph of `size` bytes.
std::string ParagraphText(const BYTE* article, size_t size) {
    std::string text;
    while (text.size() < size) {
        ArticleWalker walker = StartArticleWalk(article);
        ArticleRecord record;
        while (NextArticleRecord(&walker, &record) && text.size() < size) {
            text.append((const char*)record.text, record.textLength);
            text += ' ';
        }
    }
    text.resize(size);
    return text;
}

// A one-paragraph article as LoadContent hands it out.
BYTE* OneParagraphArticle(const std::string& text) {
    auto* article = (BYTE*)calloc(text.size() + 3 + 2 + kContentZeroTail, 1);
    article[0] = kStylePlain | kStyleBlankAfter;
    memcpy(article + 2, text.data(), text.size());
    return article;
}

constexpr int kParagraphKb[] = {1, 4, 16, 60};

// One paragraph of 1, 4, 16 and 60 KB, laid out by us and by QTextLayout in the
// same font at the same width; the growth exponent is taken from 16 to 60 KB.
void BM_LayoutParagraphScaling(benchmark::State& state) {
    EnsureQtApplication();
    ResetAppState();
    int width = (int)state.range(0);
    int number = 0;
    BYTE* source = LargestArticle(&number);
    QImage image(width, 320, QImage::Format_RGB32);
    HDC dc = CreateSurfaceDC(std::make_unique<QtSurface>(&image, nullptr));
    RECT rect = {0, 0, width, 320};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    constexpr size_t kSizes = std::size(kParagraphKb);
    BYTE* articles[kSizes];
    std::vector<QtParagraph> qtParagraphs[kSizes];
    for (size_t i = 0; i < kSizes; i++) {
        articles[i] = OneParagraphArticle(ParagraphText(source, (size_t)kParagraphKb[i] * 1024));
        qtParagraphs[i] = QtParagraphs(articles[i]);
        LayoutArticle(view, articles[i], FALSE);  // fonts realised, table grown
        QtLayout(qtParagraphs[i], width);
    }
    double ours[kSizes] = {}, qt[kSizes] = {};
    for (auto _ : state) {
        for (size_t i = 0; i < kSizes; i++) {
            double start = ThreadSeconds();
            LayoutArticle(view, articles[i], FALSE);
            double middle = ThreadSeconds();
            benchmark::DoNotOptimize(QtLayout(qtParagraphs[i], width));
            qt[i] += ThreadSeconds() - middle;
            ours[i] += middle - start;
        }
    }
    for (size_t i = 0; i < kSizes; i++) {
        std::string kb = std::to_string(kParagraphKb[i]) + "kb";
        state.counters["ours_" + kb + "_us"] = ours[i] / state.iterations() * 1e6;
        state.counters["ratio_" + kb] = ours[i] / qt[i];
        ReportGoal({"layout, one " + std::to_string(kParagraphKb[i]) + " KB paragraph, " + std::to_string(width) + " px",
                    Fixed(ours[i] / state.iterations() * 1000, 3) + " ms",
                    "QTextLayout: " + Fixed(qt[i] / state.iterations() * 1000, 3) + " ms", ours[i] / qt[i], "<= 0.2x",
                    ours[i] / qt[i] <= 0.2});
    }
    double span = std::log((double)kParagraphKb[3] / kParagraphKb[2]);
    double growth = std::log(ours[3] / ours[2]) / span, qtGrowth = std::log(qt[3] / qt[2]) / span;
    state.counters["growth_exponent"] = growth;
    state.counters["qt_growth_exponent"] = qtGrowth;
    ReportGoal({"layout growth 16 KB -> 60 KB, " + std::to_string(width) + " px", "exponent " + Fixed(growth, 2),
                "QTextLayout: exponent " + Fixed(qtGrowth, 2), growth, "<= 1.1", growth <= 1.1});
    view->article = nullptr;  // the articles are freed here
    DestroyArticleView(view, TRUE);
    for (BYTE* article : articles) free(article);
    free(source);
    DeleteDC(dc);
}
BENCHMARK(BM_LayoutParagraphScaling)->Arg(240)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
