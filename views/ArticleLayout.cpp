// views/ is the text engine: mapping, fonts, drawing, the article view and the index
// tree. It calls content/ and platform/, nothing of the program around it.
// Breaks an article's paragraph records into the view's lines and rows.
#include <algorithm>

#include "../content/ArticleRecords.h"
#include "../shell/AppState.h"
#include "ArticleView.h"
#include "TextMapping.h"

namespace {

struct LayoutState {
    ArticleView* view;
    const BYTE* article;
    int line;         // index of the next line to store
    int blankRows;    // rows added by paragraphs that end with a blank row
    int lineHeight;   // row height of the font in force: its cell height, spaced
    int textLeft;     // the column the lines fill: the view's width, or the reading
    int textWidth;    // column's measure centred in it
    BYTE style;       // style whose font is selected
    int indent;       // left (or right) edge of the text, carried between records
    int hangCode;     // hanging class of the current record, 0 for none
    int narrowest;    // smallest advance in the current record's text, 0 for no limit
};

constexpr int kNoWidthLimit = 0x7FFF;

}  // namespace

bool gLayoutOffersWholeRest = false;

namespace {

constexpr int kMaxEntries = 0xFFFF;  // lines, rows and capacity are 16-bit

bool IsLayoutable(const BYTE* article) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord first;
    if (!NextArticleRecord(&walker, &first)) return false;
    return IsSeparatorStyle(first.style) || first.textLength > 0;
}

bool MakeRoom(LayoutState& st) {
    ArticleView* view = st.view;
    bool full = st.line + st.blankRows + 1 >= kMaxEntries;
    if (st.line < view->capacity && !full) return true;
    if (!full && GrowLineTable(view, std::malloc)) return true;
    view->lines[st.line] = ArticleLine{};
    return false;
}

void StoreLine(LayoutState& st, int offset, int count, int x, int hang, int width, BYTE style) {
    st.view->lines[st.line++] = ArticleLine{(uint16_t)offset, (uint16_t)count, (uint16_t)x, (uint16_t)hang,
                                            (uint16_t)width,  (uint16_t)st.lineHeight, style};
    if (style & kStyleBlankAfter) st.blankRows++;
}

constexpr int kSingleSpacing = 10;  // tenths

void ReadLineHeight(LayoutState& st) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(st.view->surface, &metrics);
    int spacing = st.view->rowSpacing ? st.view->rowSpacing : kSingleSpacing;
    st.lineHeight = (metrics.tmHeight * spacing + kSingleSpacing / 2) / kSingleSpacing;
}

// With a measure, the column is that many average advances of the plain font (the
// one selected), centred in the view; a view narrower than that is all column.
void PlaceColumn(LayoutState& st) {
    ArticleView* view = st.view;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(view->surface, &metrics);
    long long measured = (long long)view->measure * std::max<LONG>(metrics.tmAveCharWidth, 1);
    st.textWidth = view->measure && measured < view->width ? (int)measured : view->width;
    st.textLeft = view->left + (view->width - st.textWidth) / 2;
}

int MaxCharWidth(HDC surface) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(surface, &metrics);
    return metrics.tmMaxCharWidth;
}

// Indent byte of a record. A hanging record whose text starts with a space
// continues the list item above it: it keeps that item's text column.
void ApplyIndent(LayoutState& st, const ArticleRecord& record, BYTE previousIndent) {
    int a = record.indent;
    if (HangCodeOf(record.indent) && record.text[0] == ' ' && st.line > 0) {
        st.indent += IndentOf(record.indent) - IndentOf(previousIndent);
        if (st.indent < 0) st.indent = 0;
        st.hangCode = 0;
        return;
    }
    st.indent = a;
    st.hangCode = HangCodeOf(record.indent);
}

int SeparatorLength(BYTE b, int width) {
    int length = RuleLength(b, width);
    return length < width ? length : width;
}

// Left edge of a run of `extent` pixels whose text area starts `a` pixels in
// (indent plus any hang); centred runs are centred from the indent.
int AlignedX(BYTE style, int left, int width, int indent, int a, int extent) {
    int room = width - a - extent;
    switch (style & kStyleAlignMask) {
        case kStyleRight: return left + room;
        case kStyleCentre: return left + indent + room / 2;
        default: return left + a;
    }
}

bool LayoutSeparator(LayoutState& st, const ArticleRecord& record) {
    if (record.indent == 0) return true;
    if (!MakeRoom(st)) return false;
    int length = SeparatorLength(record.indent, st.textWidth);
    int x = AlignedX(record.style, st.textLeft, st.textWidth, 0, 0, length);
    StoreLine(st, (int)(record.text - st.article), 0, x, 0, length, record.style);
    return true;
}

void FitRun(const LayoutState& st, const BYTE* text, BYTE style, int* width, int* count) {
    SetRunBase(style);
    MeasureText(st.view->surface, text, width, count);
    ResetRunBase();
}

// No more characters than the narrowest could fill the width, plus the one that
// overflows it, are offered: the fit is the same as for the whole rest, and a long
// paragraph costs time in proportion to its length.
int FitOffered(const LayoutState& st, const BYTE* text, int rest, int available, BYTE style, int* extent) {
    int offered = rest;
    if (st.narrowest > 0 && !gLayoutOffersWholeRest) offered = std::min(rest, available / st.narrowest + 1);
    int count = offered;
    *extent = available;
    FitRun(st, text, style, extent, &count);
    if (count < offered || offered == rest) return count;
    count = rest;  // everything offered fitted: only a wrong narrowest advance gets here
    *extent = available;
    FitRun(st, text, style, extent, &count);
    return count;
}

// How many characters of the run starting at `run` go on the line, and their extent.
// At most two measurements: the fit, then the extent of a shortened line. A line
// without a label must take something, or the paragraph would never end.
int FitLine(const LayoutState& st, const BYTE* text, int run, int length, int available, BYTE style,
            bool hasLabel, int* extent) {
    int count = FitOffered(st, text + run, length - run, available, style, extent);
    int take = count;
    if (run + count < length && text[run + count] != ' ') {
        int k = count - 1;
        while (k > 0 && text[run + k] != ' ' && text[run + k] != '-') k--;
        if (k > 0) take = text[run + k] == ' ' ? k : k + 1;
    }
    if (take == 0 && !hasLabel) take = 1;  // not even one character fits: it goes on the line alone
    if (take != count) {
        int n = take;
        *extent = take == 1 && count == 0 ? kNoWidthLimit : available;
        FitRun(st, text + run, style, extent, &n);
    }
    return take;
}

// Right-to-left text is stored in display order; lines are filled from a reversed
// copy so that the first line holds the reading start.
BYTE* ReversedCopy(const ArticleRecord& record) {
    auto* copy = (BYTE*)malloc(record.textLength + 1);
    if (!copy) return nullptr;
    for (uint32_t k = 0; k < record.textLength; k++) copy[k] = record.text[record.textLength - 1 - k];
    copy[record.textLength] = 0;
    return copy;
}

bool LayoutLines(LayoutState& st, const ArticleRecord& record, const BYTE* text, int hang) {
    ArticleView* view = st.view;
    int width = st.textWidth;
    bool rtl = record.style & kStyleRtl;
    int length = (int)record.textLength;
    int textOffset = (int)(record.text - st.article);
    st.narrowest = 0;
    if (length > width + 1) {  // may not fit one line even at a pixel a character
        SetRunBase(record.style);
        st.narrowest = NarrowestAdvance(view->surface, text, length);
        ResetRunBase();
    }
    int s = 0;
    for (;;) {
        while (s < length && text[s] == ' ') s++;
        if (s >= length) return true;
        if (!MakeRoom(st)) return false;
        int available = width - st.indent;
        int run = s;
        if (hang > 0) {  // the first word hangs as a label; the text starts after it
            while (run < length && text[run] != ' ') run++;
            while (run < length && text[run] == ' ') run++;
            available = available > hang ? available - hang : 0;
        }
        int extent = 0;
        int count = run < length ? FitLine(st, text, run, length, available, record.style, run > s, &extent) : 0;
        int offset = rtl ? textOffset + length - run - count : textOffset + s;
        int a = st.indent + hang;
        int x = AlignedX(record.style, st.textLeft, width, st.indent, a, extent);
        bool ends = run + count >= length;
        StoreLine(st, offset, count, x, hang, extent, ends ? record.style : (BYTE)(record.style & ~kStyleBlankAfter));
        st.indent = a;
        s = run + count;
        hang = 0;
    }
}

bool LayoutTextRecord(LayoutState& st, const ArticleRecord& record) {
    if ((record.style ^ st.style) & kFontKeyMask) {
        SelectStyleFont(FontStateOf(st.view, false), record.style);
        ReadLineHeight(st);
    }
    st.style = record.style;
    int hang = 0;
    if (st.hangCode > 0) {
        st.indent &= kIndentMask;
        hang = MaxCharWidth(st.view->surface) * (st.hangCode + 1) / 2;
    }
    BYTE* reversed = nullptr;
    if (record.style & kStyleRtl) {
        reversed = ReversedCopy(record);
        if (!reversed) {
            st.view->lines[st.line] = ArticleLine{};
            return false;
        }
    }
    if (st.indent >= st.textWidth) st.indent = 0;
    bool done = LayoutLines(st, record, reversed ? reversed : record.text, hang);
    free(reversed);
    return done;
}

bool EnsureLineTable(ArticleView* view) {
    if (view->lines && view->capacity) return true;
    free(view->lines);
    view->lines = nullptr;
    view->capacity = 0;
    return GrowLineTable(view, std::malloc);
}

void ForgetArticle(ArticleView* view) {
    free(view->article);
    view->article = nullptr;
}

// Out of memory part-way: the table stays terminated where it stopped, and is
// emptied when its lines point into a buffer the view does not hold.
int FailLayout(LayoutState& st, BYTE* article, BOOL takeOwnership) {
    ArticleView* view = st.view;
    view->lineCount = (uint16_t)st.line;
    if (view->article != article) {
        view->lines[0] = ArticleLine{};
        view->lineCount = 0;
        if (takeOwnership) free(article);
    }
    return kLayoutNoMemory;
}

}  // namespace

int LayoutArticle(ArticleView* view, BYTE* article, BOOL takeOwnership) {
    if (!view) return -1;
    view->rowCount = view->maxTopRow = view->hitStart = view->hitEnd = view->otherHitCount = 0;
    // A selection names offsets of the article it was made in.
    if (article != view->article) view->selectionStart = view->selectionEnd = 0;
    bool replacing = takeOwnership && article != view->article;
    if (!article) {
        if (takeOwnership) ForgetArticle(view);
        return kLayoutNothing;
    }
    if (!IsLayoutable(article)) {
        if (replacing) free(article);  // the view was given it and cannot use it
        return kLayoutMalformed;
    }
    if (replacing) ForgetArticle(view);
    if (!EnsureLineTable(view)) {
        if (replacing) free(article);
        return kLayoutNoMemory;
    }

    LayoutState st = {view, article, 0, 0, 0, 0, 0, kStylePlain, 0, 0, 0};
    HFONT previous = SelectStyleFont(FontStateOf(view, false), kStylePlain);
    ReadLineHeight(st);
    PlaceColumn(st);
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    BYTE previousIndent = 0;
    bool ok = true;
    while (ok && NextArticleRecord(&walker, &record)) {
        // The blank-line bit alone (corrupt content) would leave lines of style 0,
        // which end the table: such a record is laid out in the plain style.
        if (record.style == kStyleBlankAfter) record.style |= kStylePlain;
        ApplyIndent(st, record, previousIndent);
        ok = IsSeparatorStyle(record.style) ? LayoutSeparator(st, record) : LayoutTextRecord(st, record);
        previousIndent = record.indent;
    }
    RestoreFont(view->surface, previous);
    if (!ok) return FailLayout(st, article, takeOwnership);

    view->lines[st.line] = ArticleLine{};
    view->lineCount = (uint16_t)st.line;
    int rows = st.blankRows + st.line;
    ArticleLine* last = st.line > 0 ? &view->lines[st.line - 1] : nullptr;
    if (last && (last->style & kStyleBlankAfter)) {  // an article ends without a blank row
        last->style &= ~kStyleBlankAfter;
        rows--;
    }
    view->rowCount = (uint16_t)rows;
    view->article = article;
    ComputeMaxTopRow(view);
    return kLayoutOk;
}
