// The Go To Article dialog: asks for an article number and shows the chosen
// article's title as it is typed.
#pragma once

#include "../platform/win32.h"

// Ends with the chosen article (1 to 187), or 0 when cancelled.
INT_PTR CALLBACK GoToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The article number in text, or 0 when it is not one of the collection's.
int ArticleNumberOf(const WCHAR* text);
