// GDI objects and device contexts: creation, stock objects, selection, deletion
// and the colour and mode state of a DC. Shared by every drawing backend.
#include <new>
#include <unordered_set>

#include "GdiInternal.h"
#include "NoThrow.h"

namespace {
// Every valid handle is in one of these sets, so a stale or invented handle is
// refused instead of being dereferenced.
std::unordered_set<GdiObject*> gObjects;
std::unordered_set<GdiDC*> gDCs;

GdiObject* MakeStock(int id) {
    GdiObject* object = nullptr;
    if (id >= WHITE_BRUSH && id <= NULL_BRUSH) {
        static const COLORREF kGreys[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0};
        auto* brush = new (std::nothrow) GdiBrush;
        if (!brush) return nullptr;
        brush->colour = kGreys[id];
        brush->hollow = id == NULL_BRUSH;
        object = brush;
    } else if (id >= WHITE_PEN && id <= NULL_PEN) {
        auto* pen = new (std::nothrow) GdiPen;
        if (!pen) return nullptr;
        pen->colour = id == WHITE_PEN ? 0xFFFFFF : 0x000000;
        pen->style = id == NULL_PEN ? PS_NULL : PS_SOLID;
        object = pen;
    } else if (id == SYSTEM_FONT) {
        object = new (std::nothrow) GdiFont;  // all zero: default face and height
        if (!object) return nullptr;
    } else {
        return nullptr;
    }
    object->stock = true;
    object->stockId = id;
    return (GdiObject*)RegisterGdiObject(object);
}

GdiObject* StockObject(int id) {
    static GdiObject* sStock[SYSTEM_FONT + 1];
    if (id < 0 || id > SYSTEM_FONT) return nullptr;
    if (!sStock[id]) sStock[id] = MakeStock(id);
    return sStock[id];
}

void Free(GdiObject* object) {
    gObjects.erase(object);
    delete object;
}

void Hold(GdiObject* object) { object->selections++; }

void Release(GdiObject* object) {
    if (!object) return;
    object->selections--;
    if (object->selections == 0 && object->deletePending) Free(object);
}

// Swaps the DC's slot for that kind of object; returns the previous one.
template <class T>
GdiObject* Swap(T*& slot, GdiObject* object) {
    T* previous = slot;
    Hold(object);
    slot = static_cast<T*>(object);
    // The previous object may be freed here if its deletion was pending; its
    // handle is still returned, as the caller usually just deletes it.
    Release(previous);
    return previous;
}
}  // namespace

GdiObject* GdiObjectOf(HGDIOBJ handle) {
    auto* object = static_cast<GdiObject*>(handle);
    return handle && gObjects.count(object) ? object : nullptr;
}

HGDIOBJ RegisterGdiObject(GdiObject* object) {
    if (!object) return nullptr;
    // An object the set cannot take has no handle: it is not made.
    bool added = CallOrFail(false, [&] { return gObjects.insert(object).second; });
    if (!added) delete object;
    return added ? object : nullptr;
}

int LiveGdiObjectCount() {
    int n = 0;
    for (GdiObject* object : gObjects) n += object->stock ? 0 : 1;
    return n;
}

GdiDC* DCOf(HDC dc) {
    auto* record = reinterpret_cast<GdiDC*>(dc);
    return dc && gDCs.count(record) ? record : nullptr;
}

HDC CreateSurfaceDC(std::unique_ptr<Surface> surface) {
    GdiObject* font = StockObject(SYSTEM_FONT);
    GdiObject* pen = StockObject(BLACK_PEN);
    GdiObject* brush = StockObject(WHITE_BRUSH);
    if (!surface || !font || !pen || !brush) return nullptr;
    auto* dc = new (std::nothrow) GdiDC;
    if (!dc) return nullptr;
    if (!CallOrFail(false, [&] { return gDCs.insert(dc).second; })) {
        delete dc;
        return nullptr;
    }
    dc->surface = std::move(surface);
    Swap(dc->font, font);
    Swap(dc->pen, pen);
    Swap(dc->brush, brush);
    return reinterpret_cast<HDC>(dc);
}

HDC CreateCompatibleDC(HDC dc) {
    GdiDC* base = DCOf(dc);
    if (!base) return nullptr;
    HDC memory = CreateSurfaceDC(
        CallOrFail(std::unique_ptr<Surface>(), [&] { return base->surface->CreateCompatible(); }));
    if (!memory) return nullptr;
    // A fresh memory DC holds a one-pixel monochrome bitmap, as on the platform.
    auto* pixel = new (std::nothrow) GdiBitmap;
    bool made = pixel && CallOrFail(false, [&] {
        pixel->pixels.assign(1, 0xFFFFFFFFu);
        return true;
    });
    if (!made) delete pixel;
    // A bitmap the object set cannot take is deleted by RegisterGdiObject.
    if (!made || !RegisterGdiObject(pixel)) {
        DeleteDC(memory);
        return nullptr;
    }
    pixel->width = pixel->height = 1;
    pixel->bitsPixel = 1;
    GdiDC* record = DCOf(memory);
    Swap(record->bitmap, pixel);
    record->defaultBitmap = pixel;
    record->surface->Target(pixel);
    return memory;
}

BOOL DeleteDC(HDC dc) {
    GdiDC* record = DCOf(dc);
    if (!record) return FALSE;
    gDCs.erase(record);
    Release(record->font);
    Release(record->pen);
    Release(record->brush);
    Release(record->bitmap);
    if (GdiBitmap* pixel = record->defaultBitmap) {
        if (pixel->selections == 0) Free(pixel);
        else pixel->deletePending = true;
    }
    delete record;
    return TRUE;
}

HGDIOBJ GetStockObject(int object) { return StockObject(object); }

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) return nullptr;
    auto* pen = new (std::nothrow) GdiPen;
    if (!pen) return nullptr;
    pen->style = style;
    pen->width = width < 1 ? 1 : width;
    pen->colour = color & 0xFFFFFF;
    return (HPEN)RegisterGdiObject(pen);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* brush = new (std::nothrow) GdiBrush;
    if (!brush) return nullptr;
    brush->colour = color & 0xFFFFFF;
    return (HBRUSH)RegisterGdiObject(brush);
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) return nullptr;
    auto* record = new (std::nothrow) GdiFont;
    if (!record) return nullptr;
    record->logFont = *font;
    record->logFont.lfFaceName[LF_FACESIZE - 1] = 0;  // a face name without terminator is cut
    return (HFONT)RegisterGdiObject(record);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    return CallOrFail<HGDIOBJ>(nullptr, [&]() -> HGDIOBJ {
        GdiDC* record = DCOf(dc);
        GdiObject* selected = GdiObjectOf(object);
        if (!record || !selected) return nullptr;
        GdiObject* previous = nullptr;
        switch (selected->kind) {
            case GdiKind::Font:
                previous = Swap(record->font, selected);
                break;
            case GdiKind::Pen:
                previous = Swap(record->pen, selected);
                break;
            case GdiKind::Brush:
                previous = Swap(record->brush, selected);
                break;
            case GdiKind::Bitmap:
                // Bitmaps go into memory DCs only, and into one DC at a time.
                if (!record->bitmap || (selected->selections > 0 && selected != record->bitmap)) return nullptr;
                previous = Swap(record->bitmap, selected);
                record->surface->Target(record->bitmap);
                break;
        }
        record->surface->Selected(*selected);
        return previous;
    });
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* record = GdiObjectOf(object);
    if (!record) return FALSE;
    if (record->stock) return TRUE;
    if (record->selections > 0) {
        // Still selected somewhere: it is freed when the last DC lets go of it.
        record->deletePending = true;
        return TRUE;
    }
    Free(record);
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID out) {
    GdiObject* record = GdiObjectOf(object);
    if (!record || size < 0) return 0;
    if (record->kind == GdiKind::Font) {
        if (!out) return (int)sizeof(LOGFONTW);
        int n = std::min(size, (int)sizeof(LOGFONTW));
        std::memcpy(out, &static_cast<GdiFont*>(record)->logFont, n);
        return n;
    }
    if (record->kind == GdiKind::Bitmap) {
        if (!out) return (int)sizeof(BITMAP);
        auto* bitmap = static_cast<GdiBitmap*>(record);
        BITMAP info{};
        info.bmWidth = bitmap->width;
        info.bmHeight = bitmap->height;
        // Rows are padded to 16 bits in device-dependent bitmaps.
        info.bmWidthBytes = ((bitmap->width * bitmap->bitsPixel + 15) / 16) * 2;
        info.bmPlanes = 1;
        info.bmBitsPixel = (WORD)bitmap->bitsPixel;
        int n = std::min(size, (int)sizeof(BITMAP));
        std::memcpy(out, &info, n);
        return n;
    }
    return 0;
}

int GetDeviceCaps(HDC dc, int index) {
    return CallOrFail<int>(0, [&]() -> int {
        GdiDC* record = DCOf(dc);
        if (!record) return 0;
        if (index == LOGPIXELSX || index == LOGPIXELSY) return record->surface->LogPixels();
        return 0;
    });
}

COLORREF GetTextColor(HDC dc) {
    GdiDC* record = DCOf(dc);
    return record ? record->textColour : 0;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    GdiDC* record = DCOf(dc);
    if (!record) return 0xFFFFFFFF;  // CLR_INVALID
    COLORREF previous = record->textColour;
    record->textColour = color & 0xFFFFFF;
    return previous;
}

COLORREF GetBkColor(HDC dc) {
    GdiDC* record = DCOf(dc);
    return record ? record->backgroundColour : 0;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    GdiDC* record = DCOf(dc);
    if (!record) return 0xFFFFFFFF;
    COLORREF previous = record->backgroundColour;
    record->backgroundColour = color & 0xFFFFFF;
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    GdiDC* record = DCOf(dc);
    if (!record || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = record->backgroundMode;
    record->backgroundMode = mode;
    return previous;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return CallOrFail<int>(0, [&]() -> int {
        GdiDC* record = DCOf(dc);
        auto* fill = GdiObjectAs<GdiBrush>(brush, GdiKind::Brush);
        if (!record || !rect || !fill) return 0;
        if (rect->right > rect->left && rect->bottom > rect->top && !fill->hollow) record->surface->Fill(*rect, *fill);
        return 1;
    });
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        GdiDC* record = DCOf(dc);
        if (!record) return FALSE;
        RECT rect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
        if (record->pen->style == PS_NULL) {
            // Without an outline the interior reaches one pixel short of right and bottom.
            rect.right--;
            rect.bottom--;
        }
        if (rect.right > rect.left && rect.bottom > rect.top) record->surface->DrawRectangle(rect, *record->pen, *record->brush);
        return TRUE;
    });
}
