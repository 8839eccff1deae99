// The index view's life and layout: every index record's caption wrapped into lines.
#include "../content/ArticleRecords.h"
#include "../content/IndexRecords.h"
#include "../shell/Memory.h"
#include "IndexView.h"
#include "TextMapping.h"

namespace {

constexpr int kNoWidthLimit = 0x7FFF;
constexpr BYTE kFirstStyle = 0x01;

struct IndexLayoutState {
    IndexView* view;
    const BYTE* index;
    int line;  // next entry to store
    int lineHeight;
    BYTE style;  // style whose font is selected
};

void ReadLineHeight(IndexLayoutState& st) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(st.view->surface, &metrics);
    st.lineHeight = metrics.tmHeight;
}

// Characters of text[0..length) that go on a line `available` pixels wide, and their extent.
int FitCaption(HDC surface, const BYTE* text, int length, int available, int* extent) {
    int count = length;
    *extent = available;
    MeasureText(surface, text, extent, &count);
    int take = count;
    if (count < length && text[count] != ' ') {
        int k = count - 1;
        while (k > 0 && text[k] != ' ') k--;
        if (k > 0) take = k;  // the space goes to the next line, where it is skipped
    }
    // A view narrower than one character would never finish: one character per line then.
    if (take == 0) take = 1;
    if (take != count) {
        *extent = count == 0 ? kNoWidthLimit : *extent;
        MeasureText(surface, text, extent, &take);
    }
    return take;
}

// The style a line keeps. The tree clears the shown and expanded bits; a record with
// no other bit (0x40, 0x80, 0xC0) would then leave a 0 style, which ends the table.
// Plain selects the same font as no bit at all.
BYTE LineStyle(BYTE recordStyle) {
    return (recordStyle & ~(kIndexShown | kIndexExpanded)) ? recordStyle : (BYTE)(recordStyle | kStylePlain);
}

// Wraps one record's caption. False when the table could not take another line.
bool LayoutCaption(IndexLayoutState& st, const IndexEntry& record) {
    IndexView* view = st.view;
    int indent = (uint16_t)(record.level * kIndexIndent);
    if (indent >= view->width) indent = 0;
    const BYTE* s = record.text;
    int g = (int)record.textLength;
    for (;;) {
        while (g > 0 && *s == ' ') s++, g--;
        if (g <= 0) return true;
        int offset = (int)(s - st.index);
        if (offset > 0xFFFF) return true;  // beyond 16-bit offsets: not shown
        if (st.line >= view->capacity && !GrowLineTable(view, CheckedAlloc)) return false;
        int extent = 0;
        int take = FitCaption(view->surface, s, g, view->width - indent, &extent);
        view->lines[st.line++] = IndexLine{(uint16_t)offset,          (uint16_t)take,       (uint16_t)(view->left + indent),
                                           (uint16_t)extent,          (uint16_t)st.lineHeight, record.key,
                                           LineStyle(record.style)};
        if (record.style & kIndexShown) view->rowCount++;
        s += take;
        g -= take;
    }
}

bool IsEmptyIndex(const BYTE* index) { return index[2] == 0 || index[4] == 0; }

}  // namespace

IndexView* CreateIndexView(HDC surface, const RECT* rect, const FontSettings* settings, int capacity) {
    if (!surface) return nullptr;
    auto* view = (IndexView*)CheckedAlloc(sizeof(IndexView));
    if (!view) return nullptr;
    memset(view, 0, sizeof *view);
    if (!SetUpView(view, surface, rect, settings, capacity, CheckedAlloc)) {
        free(view);
        return nullptr;
    }
    return view;
}

int LayoutIndex(IndexView* view, BYTE* index, BOOL freeOld) {
    if (!view) return -1;
    view->rowCount = 0;
    view->maxTopRow = 0;
    bool ownIndex = index == view->index;
    if (freeOld && (!index || !IsEmptyIndex(index)) && !ownIndex) {
        free(view->index);
        view->index = nullptr;
    }
    if (!index) return kLayoutNothing;
    if (IsEmptyIndex(index)) return kLayoutMalformed;
    if ((!view->lines || view->capacity == 0) && !GrowLineTable(view, CheckedAlloc)) return kLayoutNoMemory;

    gMapping.base = kRestingBase;
    IndexLayoutState st = {view, index, 0, 0, kFirstStyle};
    HFONT replaced = SelectStyleFont(FontStateOf(view, true), kFirstStyle);
    ReadLineHeight(st);
    IndexWalker walker = StartIndexWalk(index);
    IndexEntry record;
    bool complete = true;
    while (complete && NextIndexEntry(&walker, &record)) {
        if ((record.style ^ st.style) & kFontKeyMask) {
            SelectStyleFont(FontStateOf(view, true), record.style);
            ReadLineHeight(st);
        }
        st.style = record.style;
        complete = LayoutCaption(st, record);
    }
    RestoreFont(view->surface, replaced);
    if (!complete) {
        // Lines of a buffer the view does not hold must not outlive this call.
        if (!ownIndex) st.line = view->rowCount = 0;
        view->lines[st.line] = IndexLine{};
        view->lineCount = (uint16_t)st.line;
        return kLayoutNoMemory;
    }
    view->lines[st.line] = IndexLine{};
    view->lineCount = (uint16_t)st.line;
    view->index = index;
    ComputeIndexMaxTopRow(view);
    return kLayoutOk;
}

int ResizeIndexView(IndexView* view, int width, int height) {
    if (!view) return -1;
    return LayOutAtSize(view, width, height, LayoutIndex, view->index);
}

int ComputeIndexMaxTopRow(IndexView* view) {
    return ComputeMaxTopRowBy(view, [](const IndexLine& line) { return line.style & kIndexShown ? 1 : 0; });
}

void DestroyIndexView(IndexView* view, BOOL freeView) {
    if (view) ReleaseView(view, &view->index, FontStateOf(view, true), freeView);
}
