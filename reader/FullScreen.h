// View > Full Screen (F11): the window over the whole screen and back, kept in
// the "FullScreen" value that the next start reads, as a stored value always was.
#pragma once

#include "../platform/win32.h"

void ToggleFullScreen(HWND window);
void UpdateFullScreenCheck();
// The pop-up holding the View menu's items, whose checks its toggles set.
HMENU ViewMenu();
