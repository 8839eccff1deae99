// fuzz/ holds the libFuzzer harnesses, built by scripts/fuzz.sh from the program's
// sources without the Qt layer (FuzzPlatform.cpp stands in for its window calls).
// Arbitrary article bytes laid out, painted, scrolled and highlighted at every base
// and at several view sizes, on the recording surface. The article is copied into a
// buffer shaped as every content buffer is; the harness then checks the line
// table against the view.
#include "content/ArticleRecords.h"
#include "fuzz/FuzzBuffers.h"
#include "platform/fake/FakeSurface.h"
#include "views/ArticleView.h"
#include "views/TextMapping.h"

namespace {

constexpr int32_t kBases[] = {97, 224, 1488};
constexpr SIZE kSizes[] = {{240, 296}, {40, 60}, {1024, 740}};
constexpr size_t kMaxArticle = 0xFFFF;  // offsets are 16 bits

// The table ends with a zeroed entry; rows, lines and the top row agree.
void CheckLines(const ArticleView* view, size_t articleSize) {
    if (!view->lines) return;
    int lines = 0, rows = 0;
    for (const ArticleLine* line = view->lines; line->style; line++) {
        FuzzCheck(lines <= view->capacity);
        FuzzCheck(line->offset + (size_t)line->count <= articleSize);
        rows += (line->style & kStyleBlankAfter) ? 2 : 1;
        lines++;
    }
    FuzzCheck(lines == view->lineCount && rows == view->rowCount);
    FuzzCheck(view->maxTopRow <= view->rowCount);
}

void Exercise(HDC surface, const uint8_t* data, size_t size, int32_t base, SIZE extent) {
    RECT rect = {0, 0, extent.cx, extent.cy};
    FontSettings settings = {};
    settings.FontAsciiBase = base;
    settings.size = extent.cx > 500 ? 18 : 0;
    ArticleView* view = CreateArticleView(surface, &rect, &settings, 100);
    FuzzCheck(view != nullptr);
    int status = LayoutArticle(view, FuzzContentCopy(data, size), TRUE);
    if (status == 0) CheckLines(view, size);
    PaintArticleView(view, TRUE);
    ScrollArticleView(view, view->rowCount / 2 + 1, 1, 0);
    ScrollArticleView(view, 100000, 2, 1);
    ScrollArticleView(view, -3, 0, 0);
    // A hit somewhere inside the article, as the search sets it.
    if (size > 0) {
        uint16_t start = (uint16_t)(data[0] % size);
        view->hitStart = start;
        view->hitEnd = (uint16_t)(start + (size > 1 ? data[1] % 24 : 1));
        ScrollToOffset(view, start);
        PaintArticleView(view, FALSE);
        HighlightSearchHit(view);
        DrawTitleBox(view);
    }
    ResizeArticleView(view, extent.cx / 2 + 1, extent.cy + 7);
    if (view->lines) CheckLines(view, size);
    PaintArticleView(view, TRUE);
    DestroyArticleView(view, TRUE);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxArticle) return 0;
    HDC surface = CreateFakeDC();
    for (int32_t base : kBases)
        for (SIZE extent : kSizes) {
            Exercise(surface, data, size, base, extent);
            ClearFakeRecord(surface);
        }
    DeleteDC(surface);
    FuzzCheck(gMapping.base == kRestingBase);
    return 0;
}
