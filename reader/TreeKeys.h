// The index tree's keys and clicks, the same wherever the tree is shown (the index
// dialog, the side panel's Contents): a mark moved over the shown records, headings
// opened and closed, a link chosen.
#pragma once

#include "../platform/win32.h"
#include "../views/IndexView.h"

struct TreeKeyResult {
    bool taken;   // the key is one of the tree's
    int article;  // the link chosen, 0 for none
};

// Up/Down, Home/End and Page Up/Down move the mark and keep it in sight; Right and
// Left open and close its heading; Enter opens or closes a heading and chooses a
// link; a letter or digit marks the next record starting with it.
TreeKeyResult TreeKey(IndexView* view, WPARAM key);
// A click moves the mark to the record clicked; what the tap does to the tree
// (a chosen link, a toggled heading) is then the view's own hit test.
int32_t TreeClick(IndexView* view, int x, int y);
// The window's scroll bar over the tree's rows (0 to the maximum top row, at the
// top row), and the tree as shown handed to screen readers.
void UpdateTreeScrollBar(HWND window, IndexView* view);
// The view at a new size, keeping its shown and opened records and the mark.
void RelayoutTree(IndexView* view, int width, int height);
