// The drawing primitives both views share: measure, draw runs, fill and frame.
#include <algorithm>

#include "../shell/AppState.h"
#include "Fonts.h"
#include "TextMapping.h"

constexpr UINT kRunFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

// Maps a run through the shared context; *count becomes the units really mapped
// (fewer when the stored text ends first). Null when memory is short.
static const WCHAR* MapRun(const BYTE* bytes, int* count) {
    const WCHAR* text = MapText(bytes, *count, &gMapping);
    *count = text ? (int)wcslen(text) : 0;
    return text;
}

void MeasureText(HDC surface, const BYTE* bytes, int* width, int* count) {
    // Measured in stored order whatever the Reverse option says.
    uint32_t reverse = gApp.Flags & kFlagReverse;
    gApp.Flags &= ~kFlagReverse;
    int n = *count;
    const WCHAR* text = MapRun(bytes, &n);
    gApp.Flags |= reverse;

    int fit = 0;
    SIZE extent = {0, 0};
    if (text && n > 0) {
        GetTextExtentExPointW(surface, text, n, *width, &fit, nullptr, &extent);
        // The extent of a run cut short is measured again; a whole run already has it.
        int ignored = 0;
        if (fit < n) GetTextExtentExPointW(surface, text, fit, *width, &ignored, nullptr, &extent);
    }
    *count = fit;
    *width = extent.cx;
}

int NarrowestAdvance(HDC surface, const BYTE* bytes, int count) {
    bool present[256] = {};
    BYTE distinct[256];
    int n = 0;
    for (int i = 0; i < count && bytes[i]; i++) {
        if (!present[bytes[i]]) distinct[n++] = bytes[i];
        present[bytes[i]] = true;
    }
    distinct[n] = 0;
    uint32_t reverse = gApp.Flags & kFlagReverse;  // a set has no order, and mirroring would change it
    gApp.Flags &= ~kFlagReverse;
    const WCHAR* text = MapRun(distinct, &n);
    gApp.Flags |= reverse;
    int positions[256];
    if (!text || n == 0 || !GetTextExtentExPointW(surface, text, n, 0, nullptr, positions, nullptr)) return 0;
    int narrowest = positions[0];
    for (int i = 0; i < n; i++) {
        // A surrogate may pair with its neighbour in a run and so has no advance of its own.
        if (text[i] >= 0xD800 && text[i] < 0xE000) return 0;
        narrowest = std::min(narrowest, positions[i] - (i ? positions[i - 1] : 0));
    }
    return std::max(narrowest, 0);
}

void DrawTextRun(HDC surface, const BYTE* bytes, int count, int x, int y, int w, int h) {
    const WCHAR* text = MapRun(bytes, &count);
    if (!text || count == 0) return;
    RECT rect = {x, y, x + w, y + h};
    DrawTextW(surface, text, count, &rect, kRunFormat);
}

void DrawTextRunColored(HDC surface, const BYTE* bytes, int count, int x, int y, int w, int h, COLORREF text,
                        COLORREF background) {
    COLORREF oldText = SetTextColor(surface, text);
    COLORREF oldBackground = SetBkColor(surface, background);
    DrawTextRun(surface, bytes, count, x, y, w, h);
    SetBkColor(surface, oldBackground);
    SetTextColor(surface, oldText);
}

void FillViewRect(HDC surface, int left, int top, int width, int height, int stockBrush) {
    RECT rect = {left, top, left + width, top + height};
    FillRect(surface, &rect, (HBRUSH)GetStockObject(stockBrush));
}

void DrawFrame(HDC surface, RECT* rect, COLORREF colour, int n) {
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ oldPen = pen ? SelectObject(surface, pen) : nullptr;
    for (int i = 0; i < n; i++) {
        if (pen) Rectangle(surface, rect->left, rect->top, rect->right, rect->bottom);
        rect->left++;
        rect->top++;
        rect->right--;
        rect->bottom--;
    }
    if (!pen) return;
    SelectObject(surface, oldPen);
    DeleteObject(pen);
}
