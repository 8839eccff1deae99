// The side panel docked beside the article: a tab strip over the Contents, Search
// and Notes tabs, and a splitter to set its width. It stands left of the article, or
// right of it when the desktop lays windows out right to left; its width and
// whether it shows are kept in the settings.
#pragma once

#include "../platform/win32.h"

enum PanelTab { kContentsTab = 0, kSearchTab = 1, kNotesTab = 2 };

// Made with the main window (hidden until its first size is known).
void CreateSidePanel(HWND mainWindow);
// The main window's WM_SIZE: places the panel and fits the article beside it.
void ResizeBesideSidePanel(HWND mainWindow, LPARAM size);
bool SidePanelShown();
void ShowSidePanel(bool shown);
// A hit, article or note was chosen for reading in the panel: over a window too
// narrow for both, the panel steps aside for the article until shown again.
void SidePanelChoiceMade();
// Shows the panel at a tab; with focus the tab's box takes the keyboard, its text selected.
void OpenPanelTab(PanelTab tab, bool focus);
// The panel's window and its current tab, for the tabs' own code.
HWND SidePanelWindow();
// The window a key's shortcut goes to: the main window for keys typed anywhere in
// the panel (its boxes, lists and tree), so that every shortcut works there too.
HWND ShortcutWindow(HWND window);
