// Line tables of both views: an array of capacity entries plus one for the
// all-zero terminator, grown in steps of 128 entries; and what both views do
// alike with them (setting up, resizing, the scroll limit, releasing).
#pragma once

#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "../platform/win32.h"
#include "Fonts.h"

// Layout statuses of both views (16-bit unsigned, besides -1 for a missing view).
constexpr int kLayoutOk = 0;
constexpr int kLayoutNothing = 2;
constexpr int kLayoutMalformed = 0xFFFC;
constexpr int kLayoutNoMemory = 0xFFFE;

constexpr int kLineTableGrowth = 128;
constexpr int kMaxLineTableCapacity = 0xFFFE;  // counts are 16-bit and the terminator needs an entry

// Replaces the view's table by one 128 entries larger, copying the old entries and
// their terminator; a view without a table gets a fresh one. False when memory is
// short or the capacity would leave 16 bits; the old table then stays.
template <class View>
bool GrowLineTable(View* view, void* (*allocate)(size_t)) {
    using Line = std::remove_pointer_t<decltype(view->lines)>;
    int capacity = view->lines ? view->capacity : 0;
    if (capacity + kLineTableGrowth > kMaxLineTableCapacity) return false;
    auto* lines = (Line*)allocate(sizeof(Line) * (capacity + kLineTableGrowth + 1));
    if (!lines) return false;
    if (capacity) std::memcpy(lines, view->lines, sizeof(Line) * (capacity + 1));
    std::free(view->lines);
    view->lines = lines;
    view->capacity = (uint16_t)(capacity + kLineTableGrowth);
    return true;
}

// A fresh terminated table of capacity entries (cut to what 16 bits can count).
template <class View>
bool AllocateLineTable(View* view, int capacity, void* (*allocate)(size_t)) {
    using Line = std::remove_pointer_t<decltype(view->lines)>;
    if (capacity > kMaxLineTableCapacity) capacity = kMaxLineTableCapacity;
    view->lines = (Line*)allocate(sizeof(Line) * ((size_t)capacity + 1));
    if (!view->lines) return false;
    view->lines[0] = Line{};
    view->capacity = (uint16_t)capacity;
    return true;
}

// The view takes its new size and lays out the text it holds again (`layout` is
// LayoutArticle or LayoutIndex).
template <class View, class Text>
int LayOutAtSize(View* view, int width, int height, int (*layout)(View*, Text*, BOOL), Text* text) {
    view->width = width;
    view->height = height;
    return layout(view, text, FALSE);
}

// The highest top row that still fills the view: rows are counted up from the end
// while their lines fit, rowsOf(line) being the rows a line takes (an article line
// with its blank line two, a hidden index line none). A blank row that overdraws
// the bottom is taken back.
template <class View, class RowsOf>
int ComputeMaxTopRowBy(View* view, RowsOf rowsOf) {
    if (!view || !view->lines || !view->rowCount || !view->lineCount) return -1;
    int room = (int16_t)view->height;
    int rows = 0;
    for (int i = view->lineCount - 1; i >= 0; i--) {
        if (view->lines[i].height > room) break;
        int taken = rowsOf(view->lines[i]);
        room -= taken * view->lines[i].height;
        rows += taken;
    }
    if (room < 0) rows--;
    view->maxTopRow = (uint16_t)(view->rowCount - rows);
    return view->maxTopRow;
}

// Fills a freshly zeroed view: its surface, fonts, rectangle and a table of
// `capacity` lines from `allocate`. False when the table cannot be had.
template <class View>
bool SetUpView(View* view, HDC surface, const RECT* rect, const FontSettings* settings, int capacity,
               void* (*allocate)(size_t)) {
    view->surface = surface;
    if (settings) view->fontSettings = *settings;
    if (rect) {
        view->left = rect->left;
        view->top = rect->top;
        view->width = rect->right - rect->left;
        view->height = rect->bottom - rect->top;
    }
    return capacity <= 0 || AllocateLineTable(view, capacity, allocate);
}

// Frees the text a view holds (`*text`), its lines and its fonts, and with
// freeView the view itself; `fonts` is the view's font state.
template <class View>
void ReleaseView(View* view, BYTE** text, const ViewFontState& fonts, BOOL freeView) {
    std::free(*text);
    std::free(view->lines);
    *text = nullptr;
    view->lines = nullptr;
    view->capacity = view->lineCount = view->rowCount = 0;
    ReleaseViewFonts(fonts);
    FreeFontCache(&view->fonts);
    if (freeView) std::free(view);
}
