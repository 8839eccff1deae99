#include "AppState.h"

#include "../views/Palette.h"

AppState gApp;
BOOL gFullScreen;
BOOL gIgnoreActivate;
BOOL gAllowSipInSearch = 1;
HWND gTaskBarWindow;
BOOL gFittedGutter;

void ResetAppState() {
    std::memset(&gApp, 0, sizeof gApp);
    gFullScreen = 0;
    gIgnoreActivate = 0;
    gAllowSipInSearch = 1;
    gTaskBarWindow = nullptr;
    gNightReading = 0;
    gFittedGutter = 0;
}
