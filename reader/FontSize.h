// The article's font size from the keyboard and the wheel.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

// The size steps away from current (0: the default, whose cell is defaultHeight):
// through the font dialog's sizes, stopping at either end.
int SteppedFontSize(int current, int defaultHeight, int steps);
// Steps the article's size (positive: larger), or back to the default with reset;
// the line holding the first visible character stays the first line shown.
void StepFontSize(HWND window, int steps);
void ResetFontSize(HWND window);
// Turns wheel rotation into whole steps (positive: rotated away from the user),
// keeping what is left of a notch in *rest for the next rotation.
int TakeWheelSteps(int* rest, int delta, int perNotch);
