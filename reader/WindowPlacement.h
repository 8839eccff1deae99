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
