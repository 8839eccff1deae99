// Selecting a passage of the article with the pointer, and copying it.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

// The main window's left-button messages. A press and release that moves less than
// the desktop's drag distance is a tap and pages as one; a longer drag selects from
// the press to the pointer, and a double click selects the word under it.
void PointerDown(HWND window, int x, int y);
void PointerMove(HWND window, WPARAM keys, int x, int y);
void PointerUp(HWND window);
void PointerDoubleClick(HWND window, int x, int y);
// WM_TIMER: a drag held above or below the article scrolls a row a step.
void PointerTimer(HWND window, WPARAM id);

// Copy and Append to ClipBoard: the selected passage, or the whole article without one.
void CopySelectionOrArticle(ArticleView* view, int append);
