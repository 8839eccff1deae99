// The reader's interactions, each within a frame, against a QTextEdit of the same
// size doing the same work in the same run: the next article (load, decode, layout,
// paint), a resize step of the largest article, Back, Forward and Page Down. An
// interaction added later gets a benchmark and one goal row of its own.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ArticleText.h"
#include "Goals.h"
#include "content/Content.h"
#include "platform/RegistryStore.h"
#include "platform/qt/QtApp.h"
#include "resources/Commands.h"
#include "shell/AppState.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"

namespace {

double ThreadMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec * 1e-6;
}

// The thread's CPU time: on a shared machine the wall clock also counts the others' work.
double MsOf(const std::function<void()>& work) {
    double start = ThreadMs();
    work();
    return ThreadMs() - start;
}

// Every article's text for the reference, made once.
const std::vector<std::vector<QtParagraph>>& ArticleTexts() {
    static std::vector<std::vector<QtParagraph>> sTexts = [] {
        std::vector<std::vector<QtParagraph>> texts(kArticleCount + 1);
        for (int n = 1; n <= kArticleCount; n++) {
            BYTE* article = LoadContent(n, nullptr);
            if (article) texts[n] = QtParagraphs(article);
            free(article);
        }
        return texts;
    }();
    return sTexts;
}

// The reader's main window at a client size, made as the start-up makes it, with
// settings of its own.
struct ReaderWindow {
    std::string config;
    HWND window = nullptr;

    ReaderWindow(int width, int height) {
        char pattern[] = "/tmp/velun-bench-XXXXXX";
        config = mkdtemp(pattern);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ForgetRegistry();
        ResetAppState();
        gApp.instance = GetModuleHandleW(nullptr);
        gApp.Flags = kDefaultFlags;
        LoadSettings();
        SetCurrentArticle(0);
        RegisterMainWindowClass(gApp.instance, kMainWindowClass);
        window = CreateWindowExW(WS_EX_WINDOWEDGE, kMainWindowClass, kMainWindowTitle, WS_VISIBLE | WS_VSCROLL,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                 gApp.instance, nullptr);
        if (window) Resize(width, height);
    }
    ~ReaderWindow() {
        if (window) DestroyWindow(window);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ForgetRegistry();
        std::filesystem::remove_all(config);
    }
    // To a client size, painted at once.
    void Resize(int width, int height) {
        RECT frame, client;
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        MoveWindow(window, 0, 0, width + (frame.right - frame.left) - client.right,
                   height + (frame.bottom - frame.top) - client.bottom, TRUE);
        UpdateWindow(window);
    }
    bool Ready() const { return window && gApp.articleView; }
};

// A QTextEdit of the same size showing an article as the reader does: the whole
// text laid out (its scroll range needs it) and the page shown painted.
struct ReferenceView {
    QTextEdit edit;
    QImage image;

    ReferenceView(int width, int height) {
        edit.setAttribute(Qt::WA_DontShowOnScreen);
        edit.setReadOnly(true);
        edit.show();
        Resize(width, height);
    }
    void Paint() {
        edit.document()->documentLayout()->documentSize();
        edit.viewport()->render(&image);
    }
    void Show(const std::vector<QtParagraph>& paragraphs) {
        edit.document()->clear();
        FillTextEdit(&edit, paragraphs);
        edit.verticalScrollBar()->setValue(0);
        Paint();
    }
    void Resize(int width, int height) {
        edit.resize(width, height);
        image = QImage(edit.viewport()->size(), QImage::Format_RGB32);
        Paint();
    }
    void PageDown() {
        QScrollBar* bar = edit.verticalScrollBar();
        bar->setValue(bar->value() + bar->pageStep());
        Paint();
    }
};

std::string SizeName(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// One goal row: medians of ours and the reference's timings, the ratio of the medians.
void ReportWithin(const std::string& what, const std::vector<double>& ours, const std::vector<double>& reference,
                  double goalMs) {
    Spread o = SpreadOf(ours), r = SpreadOf(reference);
    ReportGoal({what, Described(o, 3, " ms"), "QTextEdit: " + Described(r, 3, " ms"), o.median / r.median,
                "median <= " + Fixed(goalMs, 0) + " ms", o.median <= goalMs});
}

// Through the whole collection, one article a step, ours and the reference in turn.
void BM_NextArticle(benchmark::State& state) {
    EnsureQtApplication();
    int width = (int)state.range(0), height = (int)state.range(1);
    const auto& texts = ArticleTexts();
    ReaderWindow reader(width, height);
    ReferenceView reference(width, height);
    if (!reader.Ready()) {
        state.SkipWithError("no main window");
        return;
    }
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        ours.push_back(MsOf([&] { NextArticle(reader.window); }));
        theirs.push_back(MsOf([&] { reference.Show(texts[gApp.currentArticle]); }));
    }
    ReportWithin("next article (load, decode, layout, paint), " + SizeName(width, height), ours, theirs, 2);
}
BENCHMARK(BM_NextArticle)->Args({1024, 768})->Args({1920, 1080})->Iterations(kArticleCount)->Unit(benchmark::kMicrosecond);

// Both views on the largest article at 1920x1080, a step of the interaction each
// iteration, timed by the step itself.
using Step = std::function<void(ReaderWindow&, ReferenceView&, std::vector<double>& ours,
                                std::vector<double>& theirs)>;

void OnLargestArticle(benchmark::State& state, const std::string& what, double goalMs, const Step& step) {
    EnsureQtApplication();
    ReaderWindow reader(1920, 1080);
    ReferenceView reference(1920, 1080);
    int number = 0;
    free(LargestArticle(&number));
    if (!reader.Ready() || ShowArticle(reader.window, number) != 0) {
        state.SkipWithError("no main window");
        return;
    }
    reference.Show(ArticleTexts()[number]);
    std::vector<double> ours, theirs;
    for (auto _ : state) step(reader, reference, ours, theirs);
    ReportWithin(what + " of the largest article (" + std::to_string(number) + "), 1920x1080", ours, theirs,
                 goalMs);
}

// The window a step narrower and back in turn.
void BM_ResizeLargestArticle(benchmark::State& state) {
    int step = 0;
    OnLargestArticle(state, "resize step", 4, [&](ReaderWindow& reader, ReferenceView& reference, auto& ours,
                                                  auto& theirs) {
        bool narrower = step++ % 2 == 0;
        int width = narrower ? 1900 : 1920, height = narrower ? 1070 : 1080;
        ours.push_back(MsOf([&] { reader.Resize(width, height); }));
        theirs.push_back(MsOf([&] { reference.Resize(width, height); }));
    });
}
BENCHMARK(BM_ResizeLargestArticle)->Iterations(100)->Unit(benchmark::kMicrosecond);

constexpr int kVisits = 50;

// Fifty articles visited, then Back through all of them and Forward again; the
// reference shows the same articles.
void BM_BackAndForward(benchmark::State& state) {
    EnsureQtApplication();
    const auto& texts = ArticleTexts();
    ReaderWindow reader(1920, 1080);
    ReferenceView reference(1920, 1080);
    if (!reader.Ready()) {
        state.SkipWithError("no main window");
        return;
    }
    std::vector<double> back, forward, backReference, forwardReference;
    auto step = [&](int command, std::vector<double>& ours, std::vector<double>& theirs) {
        ours.push_back(MsOf([&] { SendMessageW(reader.window, WM_COMMAND, command, 0); }));
        theirs.push_back(MsOf([&] { reference.Show(texts[gApp.currentArticle]); }));
    };
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= kVisits; i++) ShowArticle(reader.window, i * 3);
        state.ResumeTiming();
        for (int i = 0; i < kVisits; i++) step(kCmdBack, back, backReference);
        for (int i = 0; i < kVisits; i++) step(kCmdForward, forward, forwardReference);
    }
    ReportWithin("Back, 1920x1080", back, backReference, 2);
    ReportWithin("Forward, 1920x1080", forward, forwardReference, 2);
}
BENCHMARK(BM_BackAndForward)->Iterations(3)->Unit(benchmark::kMillisecond);

// Page Down through the article, from the top again at its end.
void BM_PageDown(benchmark::State& state) {
    OnLargestArticle(state, "Page Down", 2, [](ReaderWindow& reader, ReferenceView& reference, auto& ours,
                                              auto& theirs) {
        ArticleView* view = gApp.articleView;
        if (view->topRow >= view->maxTopRow) SendMessageW(reader.window, WM_KEYDOWN, VK_HOME, 0);
        QScrollBar* bar = reference.edit.verticalScrollBar();
        if (bar->value() >= bar->maximum()) bar->setValue(0);
        ours.push_back(MsOf([&] { SendMessageW(reader.window, WM_KEYDOWN, VK_NEXT, 0); }));
        theirs.push_back(MsOf([&] { reference.PageDown(); }));
    });
}
BENCHMARK(BM_PageDown)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace
