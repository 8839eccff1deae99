// Copying the current article to the clipboard, as Unicode text and, with Unicode
// Hebrew, as an RTF document too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../content/ArticleRecords.h"
#include "../views/ArticleView.h"

// A Hebrew presentation form and its canonical decomposition (unused slots 0).
struct PresentationForm {
    uint16_t unit;
    uint16_t components[3];
};

// What an export covers: the records that share bytes with [begin, end) of the
// article buffer, each record's text cut to that stretch.
struct ArticleRange {
    const BYTE* article;
    size_t begin;
    size_t end;
};

inline ArticleRange WholeArticle(const BYTE* article) { return {article, 0, SIZE_MAX}; }
inline ArticleRange SelectedRange(const ArticleView* view) {
    return {view->article, view->selectionStart, view->selectionEnd};
}

// Walks the records of a range, as NextArticleRecord walks a whole article.
struct RangeWalker {
    ArticleWalker records;
    ArticleRange range;
};

RangeWalker StartRangeWalk(const ArticleRange& range);
bool NextRangeRecord(RangeWalker* walker, ArticleRecord* record);

void ExportArticle(ArticleView* view, int append);
// Copy (append 0) or Append to ClipBoard (append 1) of a range of an article.
void ExportRange(const ArticleRange& range, int append);
// The plain text an export of the range puts out (reading order at the Hebrew base),
// in a CheckedAlloc buffer; null when it does not fit or memory is short.
WCHAR* RenderExportText(const ArticleRange& range);

// Bytes the plain-text rendering of a range may need, its 0 unit included.
size_t PlainTextSize(const ArticleRange& range);
// 0 when the rendering and its 0 unit fit size bytes, 1 (after a message) otherwise.
int RenderPlainText(const ArticleRange& range, WCHAR* buffer, size_t size);
// Units one record's line of the rendering holds, its line ends included.
size_t PlainLineLength(const ArticleRecord& record);

// Turns each number of a right-to-left run back to left to right (with the
// separators between its digits, "1,000", "12:30") after the run was turned round;
// order, when given, is turned with the units.
void RestoreNumbers(WCHAR* units, size_t count, uint16_t* order = nullptr);

// A base above 256 maps the letters to Unicode Hebrew: the export then goes out in
// reading order, and as an RTF document as well as Unicode text.
inline bool IsUnicodeHebrewBase(int32_t base) { return base > 256; }
// The RTF body of text, the plain-text rendering of range: each record's line becomes
// a paragraph of its own direction and alignment. Without output: an upper bound of
// the body's bytes, its NUL included. With output: writes the body and its NUL and
// returns the body's length without the NUL.
size_t BuildRtfBody(const ArticleRange& range, const WCHAR* text, char* output);
// A marked passage of an article, [start, end), carried into the RTF as a highlight
// of colour-table entry 4 + colour (the reader's four highlight colours).
struct RtfHighlight {
    size_t start, end;
    int colour;
};
// Set by the reader: fills the marked passages of the article (at most capacity)
// and returns how many there are.
extern int (*gRtfHighlights)(const BYTE* article, RtfHighlight* out, int capacity);
const PresentationForm* FindPresentationForm(WCHAR unit);

// The clipboard blocks Copy and Append hand over: the earlier data of the format
// (null for Copy or when there is none) with the new article after it, the text
// after one empty line. Null when LocalAlloc fails.
HLOCAL BuildTextBlock(const WCHAR* text, const BYTE* old, size_t oldSize);
HLOCAL BuildRtfBlock(const ArticleRange& range, const WCHAR* text, const BYTE* old, size_t oldLength);
// A document of bodies BuildRtfBody wrote one after another; null when LocalAlloc fails.
HLOCAL BuildRtfDocument(const char* body, size_t bodyLength);

// A copy of the clipboard's data in format, without its terminator; null when absent,
// or when memory ran out (outOfMemory then tells, as the exit sequence has run).
BYTE* GetClipboardCopy(UINT format, size_t* size, bool* outOfMemory = nullptr);
// Puts the rendering of range on the clipboard: Unicode text, and RTF with Unicode Hebrew.
void PutTextOnClipboard(const ArticleRange& range, const WCHAR* text, int append);
