// Painting a page with 100 highlights on it against painting the same page without
// them, in the same run: the marks are drawn under the text by the view's own
// drawing, so they must cost little beside the page.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "AgainstQtEdit.h"
#include "bench/Goals.h"
#include "content/Content.h"
#include "platform/qt/QtApp.h"
#include "platform/qt/QtSurface.h"
#include "reader/Highlights.h"
#include "reader/LinkView.h"
#include "reader/Notes.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"

namespace {

constexpr int kArticle = 1, kHighlights = 100;
constexpr int kWidth = 1024, kHeight = 768;

void ClearNotes() {
    while (!AllNotes().empty()) RemoveNote(AllNotes().front().id);
}

// 100 passages of a few words each, spread evenly over the page, in all four colours.
void MarkPage(ArticleView* view) {
    int start = 0, end = 0;
    VisibleRange(view, &start, &end);
    int step = std::max((end - start) / kHighlights, 2);
    for (int i = 0; i < kHighlights; i++) {
        Note note = {};
        note.article = kArticle;
        note.start = (uint16_t)(start + i * step);
        note.end = (uint16_t)(note.start + step * 2 / 3);
        note.colour = (HighlightColour)(i % kHighlightColourCount);
        note.text = i % 3 ? u"" : u"a note";
        AddNote(note);
    }
}

double TimePaint(ArticleView* view) {
    auto start = std::chrono::steady_clock::now();
    PaintArticleView(view, TRUE);
    return SecondsSince(start);
}

void BM_PaintWithHighlights(benchmark::State& state) {
    EnsureQtApplication();
    ResetAppState();
    ClearNotes();
    gApp.currentArticle = kArticle;
    EnableArticleLinks();
    EnableHighlights();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    HDC dc = CreateSurfaceDC(std::make_unique<QtSurface>(&image, nullptr));
    RECT rect = {0, 0, kWidth, kHeight};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    LayoutArticle(view, LoadContent(kArticle, nullptr), TRUE);
    PaintArticleView(view, TRUE);
    MarkPage(view);
    std::vector<Note> marks = AllNotes();
    std::vector<double> with, without;
    for (auto _ : state) {
        double marked = TimePaint(view);
        ClearNotes();
        without.push_back(1000 * TimePaint(view));
        for (const Note& note : marks) AddNote(note);
        with.push_back(1000 * marked);
        state.SetIterationTime(marked);
    }
    Spread ours = SpreadOf(with), plain = SpreadOf(without);
    double ratio = ours.median / plain.median;
    ReportGoal({"paint a 1024x768 page with 100 highlights (article 1)", Described(ours, 3, "ms"),
                "the page without them: " + Described(plain, 3, "ms"), ratio, "<= 1.2x", ratio <= 1.2});
    ClearNotes();
    gArticleOverlay = nullptr;
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}
BENCHMARK(BM_PaintWithHighlights)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace
