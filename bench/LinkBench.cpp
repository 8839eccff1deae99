// Following a link: from article 26's "(article 31)" to article 31, decoded,
// laid out and its first page painted with its links, against a QTextEdit given
// the same decoded article in place of its text, laid out and its first page
// rendered, in the same run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "AgainstQtEdit.h"
#include "ArticleText.h"
#include "content/Content.h"
#include "platform/qt/QtApp.h"
#include "platform/qt/QtSurface.h"
#include "reader/LinkView.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"

namespace {

constexpr int kFrom = 26, kTo = 31;
constexpr int kWidth = 1024, kHeight = 768;

// The link the reader clicks, from the article it stands in.
int LinkTarget() {
    BYTE* from = LoadContent(kFrom, nullptr);
    TextLink links[64];
    int n = FindArticleLinks(from, links, 64);
    std::free(from);
    for (int i = 0; i < n; i++)
        if (links[i].target == kTo) return kTo;
    return 0;
}

void BM_FollowLink(benchmark::State& state) {
    EnsureQtApplication();
    ResetAppState();
    int target = LinkTarget();
    if (!target) {
        state.SkipWithError("no link to follow");
        return;
    }
    EnableArticleLinks();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    HDC dc = CreateSurfaceDC(std::make_unique<QtSurface>(&image, nullptr));
    RECT rect = {0, 0, kWidth, kHeight};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    QImage qtImage(kWidth, kHeight, QImage::Format_RGB32);
    QTextEdit edit;
    edit.resize(kWidth, kHeight);

    std::vector<double> ours, qt;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        LayoutArticle(view, LoadContent(target, nullptr), TRUE);
        view->topRow = 0;
        PaintArticleView(view, TRUE);
        double ourTime = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        BYTE* article = LoadContent(target, nullptr);
        edit.clear();
        FillTextEdit(&edit, QtParagraphs(article));
        std::free(article);
        edit.document()->setTextWidth(edit.viewport()->width());
        edit.viewport()->render(&qtImage);
        qt.push_back(SecondsSince(start));
        ours.push_back(ourTime);
        state.SetIterationTime(ourTime);
    }
    ReportAgainstQtEdit(state, "follow a link, 26 to 31 at 1024x768 (load + layout + paint)", ours, qt);
    gArticleOverlay = nullptr;
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}
BENCHMARK(BM_FollowLink)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

}  // namespace
