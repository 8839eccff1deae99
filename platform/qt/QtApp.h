// The one QApplication of the process, created when first needed.
#pragma once

// Creates the QApplication unless one exists. Without a display (no DISPLAY and
// no WAYLAND_DISPLAY) and no QT_QPA_PLATFORM chosen, the offscreen platform is
// used, so headless rendering and tests work anywhere.
void EnsureQtApplication();
