// The article index dialog.
#pragma once

#include "../platform/win32.h"
#include "../views/Fonts.h"
#include "../views/IndexView.h"
#include "../reader/OpenedHeadings.h"

// The one open index dialog; zeroed each time the dialog opens.
struct IndexDialogState {
    uint16_t result;  // the article the dialog returns
    HWND dialog;
    HDC surface;  // the dialog's own DC, held until WM_DESTROY; the tree is drawn on it
    RECT saved;   // client area less a scroll bar's width: the background erase
    IndexView* view;
    FontSettings* fontSettings;
};

extern IndexDialogState gIndexDialog;

// Returns the article chosen, or 0 when none was.
uint16_t OpenIndexDialog(HINSTANCE instance, HWND owner, int currentArticle, FontSettings* settings);
INT_PTR CALLBACK IndexDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitIndexDialog();
void UpdateIndexScrollBar();
// The tree as the dialog opens it: the index with the bookmarks in front, laid out
// in rect, with the headings opened that were open before (when known), and
// opened down to the current article. Null when there is no memory.
IndexView* OpenIndexTree(HDC surface, const RECT* rect, const FontSettings* settings, int currentArticle,
                         const OpenedHeadings* opened = nullptr);
