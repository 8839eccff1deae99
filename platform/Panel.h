// Controls of a docked side panel that have no counterpart in the Win32 subset the
// program uses: a tab strip, a list that holds no rows of its own, and a splitter's
// cursor. The edits, buttons and labels beside them are the ordinary child windows.
#pragma once

#include "Desktop.h"  // SetAccessibleName names the panel's controls
#include "win32.h"

// Makes the built-in controls (EDIT, BUTTON, STATIC, LISTBOX) and the two classes
// below available to CreateWindowExW outside dialogs.
void RegisterPanelControls();

// A strip of tabs; the window's text holds the labels, one a line. A change of tab
// by the user reaches the parent as WM_COMMAND (id, kTabChanged).
extern const WCHAR kTabStripClass[];
constexpr WORD kTabChanged = 0x100;
void SelectTab(HWND strip, int index);
int SelectedTab(HWND strip);

// A list that asks for the text of the rows it shows, so that tens of thousands
// of rows cost nothing until seen. A heading row is drawn bold. The current row
// moved by the user reaches the parent as WM_COMMAND (id, LBN_SELCHANGE); Enter or
// a double click on it as WM_COMMAND (id, LBN_DBLCLK); a click on a row, after
// any change it made, as WM_COMMAND (id, kRowClicked).
extern const WCHAR kRowListClass[];
constexpr WORD kRowClicked = 0x101;
// Writes row's text into out (capacity units with the terminator); returns the units.
typedef int (*RowTextSource)(void* context, int row, WCHAR* out, int capacity, bool* heading);
void SetListRows(HWND list, int count, RowTextSource source, void* context);
// Makes row current, selected and scrolled into view; -1 clears the selection.
void SelectListRow(HWND list, int row);
int CurrentListRow(HWND list);

// The left-right arrows over a window, for a splitter.
void ShowSizingCursor(HWND window);
// Whether the desktop lays windows out right to left.
bool DesktopIsRightToLeft();
