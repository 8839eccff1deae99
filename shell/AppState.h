// Program-wide state: one record plus a few variables, zeroed at the program's entry.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"
#include "../views/Fonts.h"

constexpr uint32_t kDefaultFlags = 0xD1140040;
constexpr int kSearchStringSize = 34;

// Bits of the Flags word the program reads.
constexpr uint32_t kFlagMatchCase = 0x20;
constexpr uint32_t kFlagScrollBar = 0xC0;
constexpr uint32_t kFlagReverse = 0x800;
constexpr uint32_t kFlagTapVertical = 0x10000000;
constexpr uint32_t kFlagTapPaging = 0x80000000;

enum IndexIcon { kIconCollapsed = 0, kIconExpanded = 1, kIconLink = 2 };

struct AppState {
    HINSTANCE instance;
    FontSettings fontSettings;
    uint16_t lastPosition;
    uint32_t Flags;
    uint16_t currentArticle;
    char searchString[kSearchStringSize];
    BOOL searchHebrew;  // the search string was typed as Hebrew letters
    ArticleView* articleView;
    BOOL useMenuBar;
    int32_t barHeight;
    int32_t SurroundingGutter;
    HWND barWindow;
    HWND mainWindow;
    HBITMAP indexIcons[3];  // collapsed heading (201), expanded heading (202), link (203)
    uint16_t bookmarkCount;
    uint16_t* bookmarkList;  // owned, ended by 0
    uint16_t bookmarkOptions;
};

extern AppState gApp;

// Program-wide variables beside AppState.
extern BOOL gFullScreen;
extern BOOL gIgnoreActivate;
extern BOOL gAllowSipInSearch;  // 1 at start
extern HWND gTaskBarWindow;
// No "SurroundingGutter" stored: the gutter follows the window's width.
extern BOOL gFittedGutter;
constexpr int32_t kGutterAbsent = INT32_MIN;

// Fills AppState with zero bytes and puts the variables beside it to their start values.
void ResetAppState();
