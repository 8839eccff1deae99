// The main window's placement across runs.
#pragma once

#include "../platform/win32.h"

// The stored placement when a screen shows it now, the stored size centred on the
// work area when none does, and a comfortable reading size on the first run.
void PlaceMainWindow(HWND window);
// Stores the window's restored rectangle and whether it is maximised.
void SaveWindowPlacement(HWND window);
// A width by height rectangle centred on the work area (and no larger than it).
RECT CentredRect(const RECT& work, int width, int height);
// The first run's window on a work area.
RECT ComfortableRect(const RECT& work);
// The rectangle (the window without its frame) moved and, when too large, shrunk so
// that it and the title bar above it (caption pixels high) lie whole on the work
// area; never below the least usable size where the work area has room for it.
RECT FitOnWorkArea(const RECT& r, const RECT& work, int caption);
// Below this the bars overlap and the dialogs cannot be used (logical pixels).
constexpr int kLeastWindowWidth = 240;
constexpr int kLeastWindowHeight = 200;
