// Arbitrary index bytes and bookmark lists through the index tree: the bookmarks
// section, layout, paint, every heading toggled, an article revealed, and the
// expansion state kept across a relayout at another width.
// Input: one byte n, then n bookmark numbers of two bytes, then the index.
#include "content/IndexRecords.h"
#include "fuzz/FuzzBuffers.h"
#include "platform/fake/FakeSurface.h"
#include "shell/AppState.h"
#include "views/IndexView.h"
#include "views/TextMapping.h"

namespace {

constexpr size_t kMaxIndex = 0xFFFF;
constexpr int kCapacity = 100;

// The table ends inside its capacity; the shown lines are the rows.
void CheckLines(const IndexView* view) {
    if (!view->lines) return;
    int lines = 0, shown = 0;
    for (const IndexLine* line = view->lines; line->style; line++) {
        FuzzCheck(lines <= view->capacity);
        if (line->style & kIndexShown) shown++;
        lines++;
    }
    FuzzCheck(lines == view->lineCount);
    FuzzCheck(shown == view->rowCount);
    FuzzCheck(view->maxTopRow <= view->rowCount);
}

// Bookmarks from the input, ended by 0 as the program keeps them.
void SetBookmarks(const uint8_t* data, int count) {
    auto* list = (uint16_t*)std::malloc(sizeof(uint16_t) * (count + 1));
    FuzzCheck(list != nullptr);
    for (int i = 0; i < count; i++) list[i] = (uint16_t)(data[2 * i] | data[2 * i + 1] << 8);
    list[count] = 0;
    gApp.bookmarkList = list;
    gApp.bookmarkCount = (uint16_t)count;
}

void ToggleEveryHeading(IndexView* view) {
    for (int i = 0; i < view->lineCount; i++) {
        if (!(view->lines[i].key & kKeyHeading) || !(view->lines[i].style & kIndexShown)) continue;
        ToggleHeading(view, &view->lines[i]);
        CheckLines(view);
    }
}

void Exercise(HDC surface, BYTE* index, int width, int article) {
    RECT rect = {0, 0, width, 300};
    FontSettings settings = {};
    settings.FontAsciiBase = kRestingBase;
    IndexView* view = CreateIndexView(surface, &rect, &settings, kCapacity);
    FuzzCheck(view != nullptr);
    LayoutIndex(view, index, FALSE);
    if (view->index != index) std::free(index);
    CheckLines(view);
    RevealArticle(view, article);
    CheckLines(view);
    PaintIndexView(view, TRUE);
    ToggleEveryHeading(view);
    ScrollIndexView(view, 3, 1, 1);
    HitTestIndex(view, 20, 30);
    uint16_t* expansion = SaveExpansion(view);
    ResizeIndexView(view, width / 3 + 1, 200);
    RestoreExpansion(view, expansion);
    std::free(expansion);
    CheckLines(view);
    ToggleEveryHeading(view);
    PaintIndexView(view, FALSE);
    DestroyIndexView(view, TRUE);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || (size - 1) / 2 < data[0]) return 0;
    int count = data[0];
    const uint8_t* index = data + 1 + 2 * count;
    size_t indexSize = size - 1 - 2 * count;
    if (indexSize > kMaxIndex) return 0;

    SetBookmarks(data + 1, count);
    HDC surface = CreateFakeDC();
    int article = count ? gApp.bookmarkList[0] : (int)(size % 200);
    for (int width : {240, 40, 900}) {
        BYTE* joined = AddBookmarkSection(FuzzContentCopy(index, indexSize));
        Exercise(surface, joined, width, article);
        ClearFakeRecord(surface);
    }
    DeleteDC(surface);
    std::free(gApp.bookmarkList);
    gApp.bookmarkList = nullptr;
    gApp.bookmarkCount = 0;
    FuzzCheck(gMapping.base == kRestingBase);
    return 0;
}
