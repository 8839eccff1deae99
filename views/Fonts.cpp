// The per-view font cache: one font per style key, created on first use.
#include "Fonts.h"

#include <algorithm>

#include "../content/ArticleRecords.h"
#include "../shell/Memory.h"
#include "Palette.h"

// Small print is never smaller than this (or than the plain text, if that is smaller).
constexpr int64_t kLeastSmallHeight = 8;

// In 64 bits, so that a hand-edited size near the 32-bit limit cannot overflow; the
// result is held to the 32-bit range.
static LONG StyleHeight(int32_t size, BYTE key) {
    int64_t height = size;
    if (key & kStyleLarge) height = size ? height * 5 / 4 : 20;
    else if (key & kStyleSmall && size > 0) height = std::max(height * 6 / 8, std::min(height, kLeastSmallHeight));
    else if (key & kStyleSmall) height = size ? height * 6 / 8 : 14;
    return (LONG)std::clamp<int64_t>(height, INT32_MIN, INT32_MAX);
}

void CreateStyleFont(const FontSettings* settings, FontCacheEntry* entry, BYTE key) {
    LOGFONTW description = {};
    description.lfHeight = StyleHeight(settings->size, key);
    description.lfWeight = (key & kStyleBold) ? FW_BOLD : FW_NORMAL;
    memcpy(description.lfFaceName, settings->faceName, sizeof description.lfFaceName);
    description.lfFaceName[LF_FACESIZE - 1] = 0;  // a settings copy without its NUL stays bounded
    entry->font = CreateFontIndirectW(&description);
}

static FontCacheEntry* FindFont(FontCacheEntry* cache, BYTE key) {
    for (FontCacheEntry* entry = cache; entry; entry = entry->next)
        if (entry->key == key) return entry;
    return nullptr;
}

// A new entry at the head of the list, where later searches find it first.
static FontCacheEntry* AddFont(const ViewFontState& view, BYTE key) {
    size_t size = sizeof(FontCacheEntry);
    auto* entry = (FontCacheEntry*)(view.checkedAlloc ? CheckedAlloc(size) : malloc(size));
    if (!entry) return nullptr;
    entry->key = key;
    CreateStyleFont(view.settings, entry, key);
    entry->next = *view.cache;
    *view.cache = entry;
    return entry;
}

HFONT SelectStyleFont(const ViewFontState& view, int request) {
    BYTE key = (BYTE)(request & kFontKeyMask);
    FontCacheEntry* entry = FindFont(*view.cache, key);
    if (!entry || !entry->font) entry = AddFont(view, key);
    if (request & kColourRequest) {
        const ViewPalette& palette = ActivePalette();
        bool heading = (key & (kStyleLarge | kStyleBold)) == (kStyleLarge | kStyleBold);
        SetTextColor(view.surface, heading ? palette.heading : palette.text);
    }
    // Without a font (no memory for the entry, or creation failed) nothing is selected.
    if (!entry || !entry->font) return nullptr;
    return (HFONT)SelectObject(view.surface, entry->font);
}

void ReleaseViewFonts(const ViewFontState& view) {
    for (FontCacheEntry* entry = *view.cache; entry; entry = entry->next) {
        if (entry->font) DeleteObject(entry->font);
        entry->font = nullptr;
    }
}

void FreeFontCache(FontCacheEntry** cache) {
    while (*cache) {
        FontCacheEntry* next = (*cache)->next;
        free(*cache);
        *cache = next;
    }
}

void RestoreFont(HDC surface, HFONT previous) {
    if (previous) SelectObject(surface, previous);
}
