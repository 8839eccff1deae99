#include "Bookmarks.h"

#include <cstdlib>

#include "AppState.h"
#include "MainWindow.h"
#include "Memory.h"
#include "Settings.h"
#include "../reader/DesktopColours.h"
#include "../views/Palette.h"

HMENU MenuOf(LPARAM menuButton) {
    if (gApp.useMenuBar) return (HMENU)SendMessageW(gApp.barWindow, SHCMBM_GETSUBMENU, 0, menuButton);
    return CommandBar_GetMenu(gApp.barWindow, 0);
}

uint16_t* BookmarkListFromValue(const BYTE* stored, DWORD size, uint16_t* count) {
    *count = 0;
    // A value that ends with its 0 entry holds size / 2 - 1 entries, zeros inside
    // included, so it is written back as it was read. One without that entry (or of
    // odd length) keeps all its whole entries. Either way the copy gets a 0 entry
    // behind them, so no walk passes its end.
    size_t entries = size / 2 < 0xFFFE ? size / 2 : 0xFFFE;
    uint16_t* list = (uint16_t*)CheckedAlloc((entries + 1) * sizeof(uint16_t));
    if (!list) return nullptr;
    for (size_t i = 0; i < entries; i++) list[i] = (uint16_t)(stored[2 * i] | (stored[2 * i + 1] << 8));
    list[entries] = 0;
    bool terminated = entries > 0 && list[entries - 1] == 0;
    *count = (uint16_t)(terminated ? entries - 1 : entries);
    return list;
}

void LoadBookmarks() {
    gApp.bookmarkList = nullptr;
    gApp.bookmarkCount = 0;
    DWORD size = 0;
    BYTE* stored = RegReadBytesSized(TEXT("Bookmarks"), nullptr, &size);
    if (!stored) return;
    gApp.bookmarkList = BookmarkListFromValue(stored, size, &gApp.bookmarkCount);
    std::free(stored);
}

void SaveBookmarks() {
    static const uint16_t kEmpty = 0;
    if (gApp.bookmarkList) {
        RegWriteBytes(TEXT("Bookmarks"), gApp.bookmarkList, (DWORD)(gApp.bookmarkCount + 1) * 2);
    } else {
        RegWriteBytes(TEXT("Bookmarks"), &kEmpty, 2);
    }
}

void FreeBookmarks() {
    std::free(gApp.bookmarkList);
    gApp.bookmarkList = nullptr;
}

int IsBookmarked() {
    if (!gApp.bookmarkList) return 0;
    for (const uint16_t* p = gApp.bookmarkList; *p; p++) {
        if (*p == gApp.currentArticle) return 1;
    }
    return 0;
}

void AddBookmark() {
    if (IsBookmarked()) return;
    uint16_t count = gApp.bookmarkCount;
    uint16_t* list = (uint16_t*)std::malloc((count + 2) * sizeof(uint16_t));
    if (!list) return;
    if (gApp.bookmarkList) {
        std::memcpy(list, gApp.bookmarkList, count * sizeof(uint16_t));
        std::free(gApp.bookmarkList);
    }
    list[count] = gApp.currentArticle;
    list[count + 1] = 0;
    gApp.bookmarkCount = count + 1;
    gApp.bookmarkList = list;
}

void RemoveBookmark() {
    if (!gApp.bookmarkList) return;
    uint16_t* kept = gApp.bookmarkList;
    for (const uint16_t* p = gApp.bookmarkList; *p; p++) {
        if (*p == gApp.currentArticle) {
            gApp.bookmarkCount--;
        } else {
            *kept++ = *p;
        }
    }
    *kept = 0;
}

void ToggleBookmark(int bookmarked) {
    if (!bookmarked) {
        AddBookmark();
        return;
    }
    if (!(gApp.bookmarkOptions & kBookmarkNoQuestion)) {
        int answer = MessageBoxW(gApp.mainWindow, TEXT("Remove Bookmark?\n\nCancel - Don't ask again"),
                                 TEXT("Bookmark"), MB_YESNOCANCEL);
        if (answer == IDNO) return;
        if (answer == IDCANCEL) gApp.bookmarkOptions |= kBookmarkNoQuestion;
    }
    RemoveBookmark();
}

int SetMenuCheck(HMENU menu, CheckMode mode, UINT item, int wanted) {
    // Without a menu (no bar could be made) wanted is taken as the present state.
    if (!menu) return mode == kCheckToggle ? !wanted : wanted != 0;
    if (mode == kCheckToggle) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        GetMenuItemInfoW(menu, item, FALSE, &info);
        wanted = !(info.fState & MFS_CHECKED);
    }
    CheckMenuItem(menu, item, MF_BYCOMMAND | (wanted ? MF_CHECKED : MF_UNCHECKED));
    return wanted ? 1 : 0;
}

void UpdateBookmarkCheck(HWND, CheckMode mode) {
    SetMenuCheck(MenuOf(kCmdGoMenu), mode, kCmdBookmark, IsBookmarked());
}

void UpdateNightCheck(HWND, CheckMode mode) {
    gNightReading = SetMenuCheck(MenuOf(kCmdFileMenu), mode, kCmdNight, gNightReading);
    ApplyNightColours(mode == kCheckToggle);
}

void UpdateReverseCheck(HWND, CheckMode mode) {
    int checked = SetMenuCheck(MenuOf(kCmdFileMenu), mode, kCmdReverse, (gApp.Flags & kFlagReverse) != 0);
    gApp.Flags = checked ? gApp.Flags | kFlagReverse : gApp.Flags & ~kFlagReverse;
}
