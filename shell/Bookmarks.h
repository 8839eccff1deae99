// Bookmarks of the current article, and the two menu check marks that mirror state.
#pragma once

#include "../platform/win32.h"

constexpr uint16_t kBookmarkNoQuestion = 0x0001;  // bookmark options: remove without asking

enum CheckMode { kCheckSet = 0, kCheckToggle = 1 };

// The list held in a stored "Bookmarks" value of size bytes (from CheckedAlloc, ended
// by a 0 entry whatever the value held), and its entry count; null when memory is short.
uint16_t* BookmarkListFromValue(const BYTE* stored, DWORD size, uint16_t* count);
void LoadBookmarks();
void SaveBookmarks();
void FreeBookmarks();
int IsBookmarked();
void AddBookmark();
void RemoveBookmark();
// The Bookmark command: adds the current article, or removes it after asking.
void ToggleBookmark(int bookmarked);

// The pop-up holding an item: from the menu bar's button, or the command bar's whole menu.
HMENU MenuOf(LPARAM menuButton);
int SetMenuCheck(HMENU menu, CheckMode mode, UINT item, int wanted);
void UpdateBookmarkCheck(HWND window, CheckMode mode);
void UpdateReverseCheck(HWND window, CheckMode mode);
// The Night check mark and night reading, set from or toggled against each other.
void UpdateNightCheck(HWND window, CheckMode mode);
