// The side panel's Search tab: a box searched as it is typed, Match Case and Whole
// Word, the list of hits grouped by article, and the status of the hit shown.
#pragma once

#include <string>

#include "../platform/win32.h"

void CreatePanelSearch(HWND panel);
void ShowPanelSearch(bool shown);
void LayoutPanelSearch(HWND panel, int x, int y, int width, int height);
// The box takes the keyboard with its text selected.
void FocusPanelSearch();
// A WM_COMMAND or a key that reached the panel; true when the tab took it.
bool PanelSearchCommand(WPARAM wParam);
bool PanelSearchKey(WPARAM key);
// F3 and Shift+F3: the next or previous hit of the list (wrapping round). False
// when the list holds no hits of the current search string, for Search Again to go on.
bool StepPanelHit(int direction);
// "hit 4 of 31 in 12 articles": the one text that says where the list stands.
std::u16string PanelStatusText();
