// The colours both views and the title box draw with: the day colours, and the
// night colours (light text on a dark background) chosen by the Night command.
#pragma once

#include "../platform/win32.h"

struct ViewPalette {
    COLORREF text;
    COLORREF heading;     // styles with both 0x04 and 0x08
    COLORREF hitText;
    COLORREF hitBackground;
    COLORREF rule;
    COLORREF background;
    COLORREF boxOuter;    // title box frames, outside in
    COLORREF boxMiddle;
    COLORREF boxInner;
    COLORREF boxFill;
    COLORREF boxText;
    COLORREF otherHitBackground;  // the search's other hits in the article shown
};

extern const ViewPalette kDayPalette;
extern const ViewPalette kNightPalette;

// Night reading is on while this is set (the "Night" setting).
extern BOOL gNightReading;

const ViewPalette& ActivePalette();

// Fills the rectangle with the active background: the white stock brush by day.
void EraseViewRect(HDC surface, int left, int top, int width, int height);
// Fills with one colour through a brush made for the call (nothing when it cannot be made).
void FillColourRect(HDC surface, const RECT* rect, COLORREF colour);
