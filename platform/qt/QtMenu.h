// Menus: the records behind HMENU, and their Qt form for the bars.
#pragma once

#include <string>
#include <vector>

#include "../win32.h"

class QMenu;

struct MenuItem {
    std::u16string text;  // the shortcut label follows a 0x08 or a tab
    UINT id = 0;
    bool separator = false;
    bool checked = false;
    bool checkable = false;  // once the program has set its check mark, on or off
    HMENU popup = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
};

// The live menu behind a handle, or null.
Menu* MenuOf(HMENU menu);
// Fills a Qt menu with the menu's present items; a chosen item posts WM_COMMAND to target.
void FillQMenu(QMenu* qmenu, HMENU menu, HWND target);
