// Text on a DC: metrics, extents and fit counts, DrawTextW and ExtTextOutW.
// Positions are cumulative sums of whole-pixel advances, and the same positions
// are handed to the backend for drawing, so what is measured is what is drawn.
#include <algorithm>
#include <new>

#include "GdiInternal.h"
#include "NoThrow.h"

namespace {
// Cumulative left edges of count units: positions[0] = 0, positions[count] = extent.
// One buffer serves every call; the program draws from one thread.
const int* Positions(GdiDC* dc, const WCHAR* text, int count) {
    static std::vector<int> sPositions;
    sPositions.assign(count + 1, 0);
    if (count > 0) dc->surface->Advances(dc->font->logFont, text, count, sPositions.data() + 1);
    for (int i = 1; i <= count; i++) sPositions[i] += sPositions[i - 1];
    return sPositions.data();
}

RECT Intersect(const RECT& a, const RECT* b) {
    if (!b) return a;
    return RECT{std::max(a.left, b->left), std::max(a.top, b->top), std::min(a.right, b->right),
                std::min(a.bottom, b->bottom)};
}

void Draw(GdiDC* dc, const WCHAR* text, int count, const int* positions, int x, int y, const RECT* clip,
          const RECT* opaqueRect, const RECT* callRect) {
    RECT cell;
    const RECT* fill = opaqueRect;
    if (!fill && dc->backgroundMode == OPAQUE) {
        cell = Intersect(RECT{x, y, x + positions[count], y + SelectedFontMetrics(dc).height}, clip);
        fill = &cell;
    }
    SurfaceTextRun run{&dc->font->logFont, text, count, positions, x, y, clip, fill,
                       dc->textColour, dc->backgroundColour, callRect};
    dc->surface->DrawRun(run);
}
}  // namespace

SurfaceFontMetrics SelectedFontMetrics(GdiDC* dc) { return dc->surface->Metrics(dc->font->logFont); }

int GetTextFaceW(HDC dc, int count, LPWSTR face) {
    return CallOrFail<int>(0, [&]() -> int {
        GdiDC* record = DCOf(dc);
        if (!record || !record->font) return 0;
        std::u16string name = record->surface->FaceName(record->font->logFont);
        if (!face) return (int)name.size() + 1;
        if (count <= 0) return 0;
        int n = std::min((int)name.size(), count - 1);
        std::copy(name.begin(), name.begin() + n, face);
        face[n] = 0;
        return n;
    });
}

BOOL GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        GdiDC* record = DCOf(dc);
        if (!record || !metrics) return FALSE;
        SurfaceFontMetrics m = SelectedFontMetrics(record);
        const LOGFONTW& font = record->font->logFont;
        *metrics = TEXTMETRICW{};
        metrics->tmHeight = m.height;
        metrics->tmAscent = m.ascent;
        metrics->tmDescent = m.descent;
        metrics->tmAveCharWidth = m.aveCharWidth;
        metrics->tmMaxCharWidth = m.maxCharWidth;
        metrics->tmWeight = font.lfWeight ? font.lfWeight : FW_NORMAL;
        metrics->tmDigitizedAspectX = metrics->tmDigitizedAspectY = record->surface->LogPixels();
        metrics->tmFirstChar = 0x20;
        metrics->tmLastChar = 0xFFFC;
        metrics->tmDefaultChar = u'?';
        metrics->tmBreakChar = u' ';
        metrics->tmItalic = font.lfItalic;
        metrics->tmUnderlined = font.lfUnderline;
        metrics->tmStruckOut = font.lfStrikeOut;
        metrics->tmPitchAndFamily = 0x06;  // variable pitch, TrueType
        metrics->tmCharSet = font.lfCharSet;
        return TRUE;
    });
}

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, int* fit, int* dx, SIZE* size) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        GdiDC* record = DCOf(dc);
        if (!record || count < 0 || (!text && count > 0)) return FALSE;
        const int* positions = Positions(record, text, count);
        if (fit) {
            int n = 0;
            while (n < count && positions[n + 1] <= maxExtent) n++;
            *fit = n;
        }
        if (dx) {
            for (int i = 0; i < count; i++) dx[i] = positions[i + 1];
        }
        if (size) *size = SIZE{positions[count], SelectedFontMetrics(record).height};
        return TRUE;
    });
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
    return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

// Single-line only (the reader never asks for more); prefix characters are not
// interpreted.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    return CallOrFail<int>(0, [&]() -> int {
        GdiDC* record = DCOf(dc);
        if (!record || !text || !rect) return 0;
        if (count < 0) count = (int)wcslen(text);
        const int* positions = Positions(record, text, count);
        int extent = positions[count];
        int height = SelectedFontMetrics(record).height;
        int x = rect->left;
        if (format & DT_CENTER) x = rect->left + (rect->right - rect->left - extent) / 2;
        else if (format & DT_RIGHT) x = rect->right - extent;
        int y = rect->top;
        if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - height) / 2;
        else if (format & DT_BOTTOM) y = rect->bottom - height;
        if (count > 0) Draw(record, text, count, positions, x, y, (format & DT_NOCLIP) ? nullptr : rect, nullptr, rect);
        return (format & (DT_VCENTER | DT_BOTTOM)) ? y - rect->top + height : height;
    });
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const int* dx) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        GdiDC* record = DCOf(dc);
        if (!record || (!text && count > 0) || count > 0x7FFFFFFF) return FALSE;
        std::vector<int> given;
        const int* positions;
        if (dx) {
            given.assign(count + 1, 0);
            for (UINT i = 0; i < count; i++) given[i + 1] = given[i] + dx[i];
            positions = given.data();
        } else {
            positions = Positions(record, text, (int)count);
        }
        const RECT* opaqueRect = (options & ETO_OPAQUE) ? rect : nullptr;
        const RECT* clip = (options & ETO_CLIPPED) ? rect : nullptr;
        if (count > 0 || opaqueRect) Draw(record, text, (int)count, positions, x, y, clip, opaqueRect, rect);
        return TRUE;
    });
}
