// A resize of the long article at 1920x1080, kept at its reading place: laid out
// again and repainted, against a QTextEdit doing the same (its document laid out
// at the new width and the visible part painted) in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "AgainstQtEdit.h"
#include "QtText.h"
#include "content/Content.h"
#include "platform/qt/QtApp.h"
#include "platform/qt/QtSurface.h"
#include "reader/KeepPlace.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"

namespace {

constexpr int kArticle = 142;
constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kWidths[] = {kWidth, kWidth - 37};  // each step alternates

void BM_ResizeLongArticle(benchmark::State& state) {
    EnsureQtApplication();
    ResetAppState();
    BYTE* article = LoadContent(kArticle, nullptr);
    if (!article) {
        state.SkipWithError("no article");
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    HDC dc = CreateSurfaceDC(std::make_unique<QtSurface>(&image, nullptr));
    RECT rect = {0, 0, kWidth, kHeight};
    ArticleView* view = CreateArticleView(dc, &rect, &gApp.fontSettings, 100);
    LayoutArticle(view, article, TRUE);
    view->topRow = view->maxTopRow / 2;
    PaintArticleView(view, TRUE);

    QTextEdit edit;
    FillTextEdit(&edit, QtParagraphs(view->article));
    edit.resize(kWidth, kHeight);
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum() / 2);
    QImage qtImage(kWidth, kHeight, QImage::Format_RGB32);

    std::vector<double> ours, qt;
    int step = 0;
    for (auto _ : state) {
        int width = kWidths[++step % 2];
        auto start = std::chrono::steady_clock::now();
        KeepingPlace(view, [&] { ResizeArticleView(view, width, kHeight); });
        PaintArticleView(view, TRUE);
        double ourTime = SecondsSince(start);
        start = std::chrono::steady_clock::now();
        edit.resize(width, kHeight);
        edit.document()->setTextWidth(edit.viewport()->width());
        edit.viewport()->render(&qtImage);
        qt.push_back(SecondsSince(start));
        ours.push_back(ourTime);
        state.SetIterationTime(ourTime);
    }
    ReportAgainstQtEdit(state, "resize, article 142 at 1920x1080 (layout + paint)", ours, qt);
    DestroyArticleView(view, TRUE);
    DeleteDC(dc);
}
BENCHMARK(BM_ResizeLongArticle)->UseManualTime()->Iterations(60)->Unit(benchmark::kMillisecond);

}  // namespace

void FillTextEdit(QTextEdit* edit, const std::vector<QtParagraph>& paragraphs) {
    QTextCursor cursor(edit->document());
    for (const QtParagraph& p : paragraphs) {
        QTextCharFormat format;
        format.setFont(p.font);
        cursor.insertText(p.text, format);
        cursor.insertBlock();
    }
}
