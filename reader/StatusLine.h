// Where the reader is: a slim line under the article with its number and title,
// the page within it and how much of it lies above the page's end; and a scroll
// bar whose thumb is the share of the article one page shows.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

struct ArticleProgress {
    int page;     // 1-based, by the page steps of Page Down
    int pages;
    int percent;  // of the rows, up to the bottom of the page shown
};

ArticleProgress ProgressOf(const ArticleView* view);
// "page 3 of 11 · 27%"; units written, without the terminator.
int ProgressText(const ArticleProgress& progress, WCHAR* out, int capacity);
// The height the line takes under the view, in pixels.
int StatusLineHeight(HWND window);
// Draws the line under the view: "<number>  <title>" at the left, the progress at the
// right and "n of 187 read" before it where there is room.
void DrawStatusLine(const ArticleView* view, int number);
// A short note shown in the line, left of the progress, while its article is the
// one shown: where the side panel's search stands, or that a search wrapped. Where
// the text has no room the brief form stands instead ("1/248" for "hit 1 of 248 in
// 99 articles"), else the text loses whole words from its end. Empty text clears it.
void SetStatusNote(const WCHAR* text, int article, const WCHAR* brief = nullptr);
// The note the line shows with that article: empty when there is none.
const WCHAR* StatusNote(int article);
// Search Again moved from a hit (article, offset; 0 for none) to another: says so
// when it went past the last article to the first, clears the note otherwise.
void NoteSearchStep(int fromArticle, int fromHit, int toArticle, int toHit);
// The scroll bar's range, page and position: positions are top rows (0 to the
// maximum top row), the page the rows of the last page.
SCROLLINFO ProportionalScrollInfo(const ArticleView* view);
