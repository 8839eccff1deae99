// The keys of accelerator table 3, as the menus name them beside their items.
#pragma once

#include <string>
#include <vector>

#include "../platform/win32.h"

// The shortcut of a command as its menu item shows it ("Ctrl+Shift+N", "Alt+F3"),
// made from the table's row for it; empty for a command without one.
std::u16string ShortcutLabel(WORD command);

// Every shortcut of the table, named as above.
std::vector<std::u16string> ShortcutLabels();
