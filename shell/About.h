// The About box and the update check.
#pragma once

#include "../platform/win32.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void CheckForUpdates(HWND owner);
