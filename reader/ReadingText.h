// The article as a screen reader reads it: one line per paragraph in reading order
// (right-to-left records turned to logical order), LF line ends, a rule as an
// empty line; with the map between its offsets and the article's, each
// paragraph's language and direction, and where each shown character stands.
#pragma once

#include <string>

#include "../platform/Desktop.h"
#include "../views/ArticleView.h"

// The reading text of the view's article, rebuilt when the article or an option it
// depends on changed; null when memory ran short.
const std::u16string* ReadingTextOf(const ArticleView* view);
// The reading offset of the caret place before the article offset (-1 when the
// article offset is not in any paragraph's text or its end).
int ReadingOffset(const ArticleView* view, int articleOffset);
// The article offset of the character at a reading offset; a line end gives the
// end of its paragraph's text. -1 outside the text.
int ArticleOffset(const ArticleView* view, int readingOffset);
// The reading offsets [*start, *end) covering the article offsets [from, to).
void ReadingSpan(const ArticleView* view, int from, int to, int* start, int* end);
// The article offsets [*from, *to) covering the reading offsets [start, end).
void ArticleSpan(const ArticleView* view, int start, int end, int* from, int* to);
// The paragraph around a reading offset as a run of like attributes.
bool ReadingRun(const ArticleView* view, int readingOffset, AccessibleTextRun* run);

// The cell of the article character at an offset on the page, in client
// coordinates; false when it is not shown.
bool CharacterCell(ArticleView* view, int articleOffset, RECT* cell);
// The article offset of the character under a point of the page, or -1.
int CharacterAt(ArticleView* view, int x, int y);
