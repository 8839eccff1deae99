// The reader's main window for the side panel's benchmarks: made as the program
// makes it, 1280 x 800, with one of the panel's tabs opened by its command.
#pragma once

#include "platform/win32.h"

class QWidget;

// Null when there is no window (the benchmark then says so and skips).
HWND StartAtPanelTab(WORD tabCommand);
// Hands every waiting message to its window.
void PumpMessages();
// A window's pending repaint waits for the platform's update timer, which fires
// in whichever turn of a benchmark comes next: this runs it now, for the window
// the widget is in, so that it is timed in the turn of the side that left it.
void PaintWhatIsLeft(QWidget* widget);
