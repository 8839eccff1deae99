// The side panel's Contents tab: the index tree with each article's number and
// read mark, the current article marked and its way opened, and a filter box
// above it. The headings opened in it stay open across runs.
#pragma once

#include "../platform/win32.h"
#include "../views/IndexView.h"

void CreateContentsTab(HWND panel);
void ShowContentsTab(bool shown);
void LayoutContentsTab(int x, int y, int width, int height);
// The filter box takes the keyboard with its text selected.
void FocusContentsTab();
// A WM_COMMAND or a key that reached the panel; true when the tab took it.
bool ContentsTabCommand(WPARAM wParam);
bool ContentsTabKey(WPARAM key);
// Called whenever the article view changes: marks and opens the way to a new
// current article, and redraws a read mark that came.
void FollowCurrentArticle();
// Writes the opened headings into the settings (with the other values).
void SaveContentsOpened();
// The tree, for its tests and the benchmarks; null before the tab is laid out.
IndexView* ContentsTree();
HWND ContentsTreeWindow();
// Sets the filter box's text, as typing it would.
void SetContentsFilter(const WCHAR* text);
