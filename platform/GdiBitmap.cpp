// Bitmaps: compatible bitmaps, blits from memory DCs, and LoadBitmapW over the
// RT_BITMAP resources (device-independent bitmaps without a file header).
#include <new>

#include "GdiInternal.h"
#include "NoThrow.h"
#include "LittleEndian.h"

namespace {
constexpr int kMaxSide = 16384;

// RGBQUAD (blue, green, red, reserved) to 0xFFRRGGBB.
uint32_t FromQuad(const uint8_t* q) { return 0xFF000000u | (uint32_t)q[2] << 16 | q[1] << 8 | q[0]; }

uint32_t PixelAt(const uint8_t* row, int x, int bits, const uint8_t* palette, uint32_t paletteCount) {
    if (bits == 24) return FromQuad(row + x * 3);
    if (bits == 32) return FromQuad(row + x * 4);
    uint32_t index;
    if (bits == 8) index = row[x];
    else if (bits == 4) index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    else index = (row[x / 8] >> (7 - x % 8)) & 1;
    return index < paletteCount ? FromQuad(palette + index * 4) : 0xFF000000u;
}

// Decodes a BITMAPINFOHEADER bitmap (BI_RGB, 1/4/8/24/32 bits). Anything that does
// not fit the buffer or the limits is refused with null.
GdiBitmap* DecodeDib(const uint8_t* data, size_t size) {
    if (!data || size < 40) return nullptr;
    uint32_t headerSize = ReadDword(data);
    int32_t width = (int32_t)ReadDword(data + 4), height = (int32_t)ReadDword(data + 8);
    int bits = ReadWord(data + 14);
    uint32_t compression = ReadDword(data + 16), colours = ReadDword(data + 32);
    if (headerSize < 40 || headerSize > size || ReadWord(data + 12) != 1 || compression != 0) return nullptr;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return nullptr;
    bool bottomUp = height > 0;
    int64_t rows = bottomUp ? (int64_t)height : -(int64_t)height;
    if (width < 1 || width > kMaxSide || rows < 1 || rows > kMaxSide) return nullptr;
    uint32_t paletteCount = bits <= 8 ? (colours ? colours : 1u << bits) : colours;
    if (paletteCount > 256) return nullptr;
    uint64_t stride = ((uint64_t)width * bits + 31) / 32 * 4;
    uint64_t pixelStart = (uint64_t)headerSize + paletteCount * 4;
    if (pixelStart + stride * rows > size) return nullptr;

    auto* bitmap = new (std::nothrow) GdiBitmap;
    if (!bitmap || !CallOrFail(false, [&] {
            bitmap->pixels.resize((size_t)width * rows);
            return true;
        })) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = (int)rows;
    bitmap->bitsPixel = bits;
    const uint8_t* palette = data + headerSize;
    for (int64_t y = 0; y < rows; y++) {
        const uint8_t* row = data + pixelStart + stride * (bottomUp ? rows - 1 - y : y);
        for (int x = 0; x < width; x++) bitmap->pixels[y * width + x] = PixelAt(row, x, bits, palette, paletteCount);
    }
    return bitmap;
}

GdiBitmap* SelectedBitmap(HDC dc) {
    GdiDC* record = DCOf(dc);
    return record ? record->bitmap : nullptr;
}
}  // namespace

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!DCOf(dc) || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
    auto* bitmap = new (std::nothrow) GdiBitmap;
    if (!bitmap || !CallOrFail(false, [&] {
            bitmap->pixels.assign((size_t)width * height, 0xFF000000u);
            return true;
        })) {
        delete bitmap;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    return (HBITMAP)RegisterGdiObject(bitmap);
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    HRSRC resource = FindResourceW(nullptr, name, RT_BITMAP);
    if (!resource) return nullptr;
    auto* data = static_cast<const uint8_t*>(LoadResource(nullptr, resource));
    GdiBitmap* bitmap = DecodeDib(data, SizeofResource(nullptr, resource));
    if (!bitmap) return nullptr;
    if (IS_INTRESOURCE(name)) bitmap->resourceId = (int)(ULONG_PTR)name;
    return (HBITMAP)RegisterGdiObject(bitmap);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        GdiDC* target = DCOf(dest);
        GdiBitmap* source = SelectedBitmap(src);
        // Only plain copies from a memory DC, without mirroring, are supported.
        if (!target || !source || rop != SRCCOPY || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
            return FALSE;
        RECT from{srcX, srcY, srcX + srcWidth, srcY + srcHeight};
        RECT to{x, y, x + width, y + height};
        // Source pixels outside the bitmap are not read: cut both rectangles to match.
        RECT inside{std::max<LONG>(from.left, 0), std::max<LONG>(from.top, 0), std::min<LONG>(from.right, source->width),
                    std::min<LONG>(from.bottom, source->height)};
        if (inside.right <= inside.left || inside.bottom <= inside.top) return TRUE;
        if (inside.left != from.left || inside.top != from.top || inside.right != from.right ||
            inside.bottom != from.bottom) {
            auto scaleX = [&](LONG sx) { return (LONG)(x + (int64_t)(sx - srcX) * width / srcWidth); };
            auto scaleY = [&](LONG sy) { return (LONG)(y + (int64_t)(sy - srcY) * height / srcHeight); };
            to = RECT{scaleX(inside.left), scaleY(inside.top), scaleX(inside.right), scaleY(inside.bottom)};
            from = inside;
        }
        if (to.right > to.left && to.bottom > to.top) target->surface->Stretch(to, *source, from);
        return TRUE;
    });
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        return StretchBlt(dest, x, y, width, height, src, srcX, srcY, width, height, rop);
    });
}
