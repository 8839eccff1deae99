// The font dialog: face, size and the Hebrew code point base.
#pragma once

#include "../platform/win32.h"

INT_PTR CALLBACK FontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
