// Publishing what the reader shows to screen readers: the article view as a
// read-only document with the reader's caret and selection, the index tree as a
// tree whose marked line is focused; Qt passes the announcements on when a screen
// reader listens, and the screen reader's requests come back here.
#pragma once

#include "../platform/win32.h"
#include "../views/IndexView.h"

void PublishArticleView(HWND window);
// A window showing an index tree (the index dialog, the side panel's Contents):
// its lines as items, the marked one focused; the screen reader's actions are the
// window's own keys (Right opens, Left closes, Enter takes the line).
void PublishIndexView(HWND window, IndexView* view);
// The search dialog's caption is the program's name; screen readers call it by
// the heading above its box.
void NameSearchDialog(HWND dialog);
