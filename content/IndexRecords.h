// Index records and the "Bookmarks" section built in front of the index.
#pragma once

#include "../platform/win32.h"

// Key bits of an index record.
constexpr uint16_t kKeyHeading = 0x8000;
constexpr uint16_t kKeyLink = 0x4000;
constexpr uint16_t kKeyNumberMask = 0x3FFF;

// Style bits the tree keeps per line.
constexpr BYTE kIndexShown = 0x80;
constexpr BYTE kIndexExpanded = 0x40;

constexpr uint16_t kBookmarksKey = 0x8877;
// Every index buffer ends in a record of five zero bytes.
constexpr int kIndexEndLength = 5;

// Puts the section of the bookmarked articles in front of the index. Takes the
// index and returns the buffer to show: the joined buffer, or the index itself
// (the same pointer) when there are no bookmarks or no memory for the section.
BYTE* AddBookmarkSection(BYTE* index);
// One routine for both passes: without out it measures (the end record not
// counted), with out it writes the heading, the entries and the end record.
uint16_t BuildBookmarkSection(const BYTE* index, BYTE* out);
// A malloc'd section, or null.
BYTE* CreateBookmarkSection(const BYTE* index);
// The records of first, then those of second, then the end record; both inputs
// are taken over. When the join cannot be made, first is freed and second returned.
BYTE* JoinIndexSections(BYTE* first, BYTE* second);
