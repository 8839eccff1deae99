// Day and night colours. Night keeps each colour's meaning (headings and the hit
// blue, the hit and the title box on yellow) in shades that read on a dark page.
#include "Palette.h"

#include "Fonts.h"

const ViewPalette kDayPalette = {
    kBlack, kBlue, kBlue, kYellow, kBlack, kWhite, kRed, kWhite, kBlue, kYellow, kRed, 0xC0FFFF,
};

// COLORREF is 0x00BBGGRR.
const ViewPalette kNightPalette = {
    0xE6E6E6,  // text: light grey
    0xF8B48A,  // heading: light blue
    0x6B2A10,  // hit text: navy
    0x4CC9F2,  // hit background: amber
    0x808080,  // rule: grey
    0x1E1E1E,  // background: near black
    0x7373E5,  // box outer: soft red
    0x1E1E1E,  // box middle: the page
    0xF8B48A,  // box inner: light blue
    0x00303A,  // box fill: dark amber
    0x90A0FF,  // box text: light red
    0x1F4A5A,  // other hits' background: dim amber
};

BOOL gNightReading;

const ViewPalette& ActivePalette() { return gNightReading ? kNightPalette : kDayPalette; }

void FillColourRect(HDC surface, const RECT* rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    FillRect(surface, rect, brush);
    DeleteObject(brush);
}

void EraseViewRect(HDC surface, int left, int top, int width, int height) {
    if (!gNightReading) {
        FillViewRect(surface, left, top, width, height, WHITE_BRUSH);
        return;
    }
    RECT rect = {left, top, left + width, top + height};
    FillColourRect(surface, &rect, kNightPalette.background);
}
