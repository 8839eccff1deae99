// The index tree with real text metrics: opening it as the dialog does (load,
// bookmarks section, layout, reveal, paint), and the relayout of a size change
// with the tree's state kept.
#include <benchmark/benchmark.h>

#include "platform/Picture.h"
#include "platform/qt/QtApp.h"
#include "shell/AppState.h"
#include "shell/IndexDialog.h"

namespace {

struct IndexBenchSetup {
    HDC dc;
    RECT rect;
    IndexBenchSetup(int width, int height) {
        EnsureQtApplication();
        ResetAppState();
        gApp.fontSettings.FontAsciiBase = 97;
        gApp.bookmarkCount = 3;
        gApp.bookmarkList = (uint16_t*)calloc(4, sizeof(uint16_t));
        gApp.bookmarkList[0] = 5;
        gApp.bookmarkList[1] = 120;
        gApp.bookmarkList[2] = 3;
        for (int i = 0; i < 3; i++) gApp.indexIcons[i] = LoadBitmapW(nullptr, MAKEINTRESOURCEW(201 + i));
        dc = CreatePictureDC(width, height);
        rect = {0, 0, width, height};
    }
    ~IndexBenchSetup() {
        DestroyPictureDC(dc);
        for (HBITMAP icon : gApp.indexIcons) DeleteObject(icon);
        free(gApp.bookmarkList);
        gApp.bookmarkList = nullptr;
    }
};

void BM_OpenIndexTree(benchmark::State& state) {
    IndexBenchSetup setup((int)state.range(0), 320);
    for (auto _ : state) {
        IndexView* view = OpenIndexTree(setup.dc, &setup.rect, &gApp.fontSettings, 7);
        PaintIndexView(view, TRUE);
        benchmark::DoNotOptimize(view->rowCount);
        DestroyIndexView(view, TRUE);
    }
}
BENCHMARK(BM_OpenIndexTree)->Arg(240)->Arg(800)->Unit(benchmark::kMicrosecond);

// Save, relayout at the other width, restore and paint, as on turning the screen.
void BM_IndexSizeChange(benchmark::State& state) {
    IndexBenchSetup setup(320, 320);
    IndexView* view = OpenIndexTree(setup.dc, &setup.rect, &gApp.fontSettings, 7);
    int widths[2] = {240, 320};
    int turn = 0;
    for (auto _ : state) {
        uint16_t* saved = SaveExpansion(view);
        ResizeIndexView(view, widths[turn ^= 1], 320);
        RestoreExpansion(view, saved);
        free(saved);
        PaintIndexView(view, TRUE);
    }
    state.counters["lines"] = view->lineCount;
    DestroyIndexView(view, TRUE);
}
BENCHMARK(BM_IndexSizeChange)->Unit(benchmark::kMicrosecond);

}  // namespace
