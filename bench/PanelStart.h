// The reader's main window for the side panel's benchmarks: made as the program
// makes it, 1280 x 800, with one of the panel's tabs opened by its command.
#pragma once

#include "platform/win32.h"

// Null when there is no window (the benchmark then says so and skips).
HWND StartAtPanelTab(WORD tabCommand);
// Hands every waiting message to its window.
void PumpMessages();
