// Font settings, the per-view font cache and the drawing primitives both views share.
#pragma once

#include "../platform/win32.h"

struct FontSettings {
    WCHAR faceName[32];     // empty: the platform's default face ("FontName")
    int32_t size;           // cell height of normal text, 0 = default ("FontSize")
    int32_t FontAsciiBase;  // code point of stored 'a' in right-to-left text ("FontAsciiBase")
};

// Request flag added to a style to have the text colour set as well.
constexpr int kColourRequest = 0x100;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kWhite = 0xFFFFFF;

struct FontCacheEntry {
    FontCacheEntry* next;
    HFONT font;  // null when creation failed or the fonts were released
    BYTE key;    // style AND 0x1F
};

// The font operations work on any view that has a surface, a FontSettings copy
// and a cache (ArticleView and IndexView). checkedAlloc: new entries come from
// CheckedAlloc (the index view) instead of the plain heap (the article view).
struct ViewFontState {
    HDC surface;
    const FontSettings* settings;
    FontCacheEntry** cache;
    bool checkedAlloc;
};

void CreateStyleFont(const FontSettings* settings, FontCacheEntry* entry, BYTE key);
// Returns the font selected before, or null when no font could be had (then
// nothing was selected and there is nothing to restore).
HFONT SelectStyleFont(const ViewFontState& view, int request);
// Puts back the font SelectStyleFont returned (nothing for null).
void RestoreFont(HDC surface, HFONT previous);
void ReleaseViewFonts(const ViewFontState& view);
// Frees the cache entries themselves (after ReleaseViewFonts).
void FreeFontCache(FontCacheEntry** cache);

template <class View>
ViewFontState FontStateOf(View* view, bool checkedAlloc) {
    return ViewFontState{view->surface, &view->fontSettings, &view->fonts, checkedAlloc};
}

// ---- Drawing primitives (stored bytes mapped through gMapping with its current base) ----
void MeasureText(HDC surface, const BYTE* bytes, int* width, int* count);
// The smallest advance of any character of the run, in the selected font; 0 when
// some character may take no room (a run of them has no length limit).
int NarrowestAdvance(HDC surface, const BYTE* bytes, int count);
void DrawTextRun(HDC surface, const BYTE* bytes, int count, int x, int y, int w, int h);
void DrawTextRunColored(HDC surface, const BYTE* bytes, int count, int x, int y, int w, int h, COLORREF text,
                        COLORREF background);
void FillViewRect(HDC surface, int left, int top, int width, int height, int stockBrush);
// rect is left, top, right, bottom; shrunk by one pixel on every side per frame drawn.
void DrawFrame(HDC surface, RECT* rect, COLORREF colour, int n);
