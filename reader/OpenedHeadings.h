// The headings a tree has open, by their keys: kept for the rest of the run by the
// index dialog, and across runs, in the settings, by the side panel's Contents.
#pragma once

#include <cstdint>

#include "../platform/win32.h"
#include "../views/IndexView.h"

constexpr int kMaxOpenedHeadings = 256;  // far above the index's headings

struct OpenedHeadings {
    bool known;  // false: nothing noted yet, the tree opens as its data says
    int count;
    uint16_t keys[kMaxOpenedHeadings];
};

// The open headings among the shown records, in tree order.
void NoteOpenedHeadings(const IndexView* view, OpenedHeadings* out);
// Opens the listed headings and closes the others, outer ones first, so that a
// listed heading inside an opened one is reached. Nothing when the list is unknown.
void ApplyOpenedHeadings(IndexView* view, const OpenedHeadings* list);
// Opens every heading above the article's place in the index (not its bookmark),
// so that the way down to it is open.
void OpenWayTo(IndexView* view, int article);
// The stored form: 16-bit little-endian keys. Values that are no heading's key, and
// repeats, are left out; an odd last byte is ignored.
void ReadOpenedHeadings(const BYTE* bytes, DWORD size, OpenedHeadings* out);
// Writes count * 2 bytes into out (room for kMaxOpenedHeadings keys); returns the size.
DWORD StoreOpenedHeadings(const OpenedHeadings& list, BYTE* out);
