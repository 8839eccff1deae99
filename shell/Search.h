// Searching the collection.
#pragma once

#include "../platform/win32.h"

int FindNext(HWND owner);
INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
