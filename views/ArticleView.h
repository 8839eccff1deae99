// The article view: an article laid out into lines and rows, painted and scrolled.
#pragma once

#include "../platform/win32.h"
#include "Fonts.h"
#include "LineTable.h"

struct ArticleLine {
    uint16_t offset;  // article offset of the line's first character (label on a hanging first line)
    uint16_t count;   // characters of the main run
    uint16_t x;       // left edge of the main run
    uint16_t hang;    // hanging width, first line of a hanging paragraph only
    uint16_t width;   // pixel extent of the main run; a separator's length
    uint16_t height;  // cell height of the line's font
    BYTE style;       // record style; 0x80 kept only on the paragraph's last line
};

struct ArticleView {
    ArticleLine* lines;  // capacity + 1 entries
    HDC surface;         // not owned
    BYTE* article;       // owned
    int32_t rowsPainted;
    FontSettings fontSettings;
    FontCacheEntry* fonts;
    int32_t left, top, width, height;
    uint16_t topRow;
    uint16_t rowCount;
    uint16_t lineCount;
    uint16_t capacity;
    uint16_t maxTopRow;
    uint16_t hitStart, hitEnd;
    // The search's other hits in this article, drawn lighter: offsets kept by
    // whoever lists them, each otherHitLength long; every layout forgets them.
    const uint16_t* otherHits;
    uint16_t otherHitCount, otherHitLength;
    // The passage the reader selected, article offsets [start, end); equal when none.
    uint16_t selectionStart, selectionEnd;
    // The reading column: lines at most `measure` average characters of plain text
    // long, centred in the view; 0 lets them run the view's whole width.
    uint16_t measure;
    // Each row is the font's cell height times rowSpacing tenths, the text centred in
    // it; 0 is read as 10.
    uint16_t rowSpacing;
};

ArticleView* CreateArticleView(HDC surface, const RECT* rect, const FontSettings* settings, int capacity);
int LayoutArticle(ArticleView* view, BYTE* article, BOOL takeOwnership);
// Set by tests: every line is offered the whole rest of its paragraph, the plain
// way the bounded offer must agree with.
extern bool gLayoutOffersWholeRest;
int ResizeArticleView(ArticleView* view, int width, int height);
int ComputeMaxTopRow(ArticleView* view);
void DestroyArticleView(ArticleView* view, BOOL freeView);

int PaintArticleView(ArticleView* view, BOOL erase);
int HighlightSearchHit(ArticleView* view);
// Drawn by PaintArticleView after the text, before the search hit and the selection;
// the reader sets it to draw its additions over the page.
extern void (*gArticleOverlay)(ArticleView* view);
// Drawn by PaintArticleView after erasing, under the text, which is then drawn
// without filling its cells: the reader's highlights.
extern void (*gArticleUnderlay)(ArticleView* view);
// Redraws the visible text of the article offsets [start, end) in these colours.
void LightSpan(ArticleView* view, int start, int end, COLORREF text, COLORREF background);
void HighlightRun(ArticleView* view, const BYTE* article, const BYTE* runStart, int runLength, int x, int y);
int ScrollArticleView(ArticleView* view, int delta, int paintMode, int clamp);
int ScrollToOffset(ArticleView* view, int offset);
// The article offset of the first line shown from the top row, or -1.
int FirstVisibleOffset(const ArticleView* view);
// Article offset just after the last character a line shows. A hanging first line
// also shows its label: before the run (left to right), or after it to the end of
// the record (right to left).
int ArticleLineEnd(const BYTE* article, const ArticleLine& line);
void DrawTitleBox(ArticleView* view);
int SetViewFonts(ArticleView* view, const FontSettings* settings);
int HitTestView(ArticleView* view, int x, int y);

// ---- Selecting a passage (ArticleSelection.cpp) ----
// The article offset nearest a point of the view: before the first visible line's
// text above it, after the last visible line's text below it. -1 without an article.
int OffsetAtPoint(ArticleView* view, int x, int y);
// The word (run of non-spaces) around an offset, [*start, *end); false on a space.
bool WordAround(const ArticleView* view, int offset, int* start, int* end);
void SetSelection(ArticleView* view, int anchor, int caret);
bool HasSelection(const ArticleView* view);
// The article offsets the whole rows on the page cover, [*start, *end).
void VisibleRange(ArticleView* view, int* start, int* end);
