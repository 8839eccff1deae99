// The caret in the article: where reading stands for screen readers, following the
// page, a search hit and a new article; with View > Caret Browsing (F7) it is
// drawn and moved with the arrow keys, Shift extending the selection, as browsers do.
// Its place is a reading offset (reader/ReadingText.h).
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

void ToggleCaretMode(HWND window);
void UpdateCaretModeCheck();
bool CaretModeOn();
// The arrows (and Home, End) while the mode is on; false for any other key, or when off.
bool CaretKey(HWND window, WPARAM key);
// Moves the caret to the top of the page when the page left it, to a new search
// hit, or to the start of a new article.
void FollowReading(ArticleView* view);
int CaretPlace();
// Asked by a screen reader: the caret at a reading offset, the selection cleared;
// or a selection [start, end) with the caret at its end. False outside the text.
bool PlaceCaret(HWND window, int readingOffset);
bool PlaceSelection(HWND window, int start, int end);
