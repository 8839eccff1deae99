// The side panel's Notes tab: every highlight and note of the collection, grouped
// by article in collection order, narrowed by a filter box; choosing one shows its
// passage, Delete removes it (Ctrl+Z brings it back).
#pragma once

#include <string>

#include "../platform/win32.h"

void CreateNotesTab(HWND panel);
void ShowNotesTab(bool shown);
void LayoutNotesTab(int x, int y, int width, int height);
void FocusNotesTab();
// A WM_COMMAND or a key that reached the panel while the tab shows; true when taken.
bool NotesTabCommand(WPARAM wParam);
bool NotesTabKey(WPARAM key);
// The rows the list holds, for what shows them: "" for none.
std::u16string NotesRowText(int row);
int NotesRowCount();
