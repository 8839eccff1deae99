// Line tables of both views: an array of capacity entries plus one for the
// all-zero terminator, grown in steps of 128 entries.
#pragma once

#include <cstdlib>
#include <cstring>
#include <type_traits>

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
