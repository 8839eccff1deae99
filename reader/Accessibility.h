// Publishing what the reader shows to screen readers: the article view as text,
// the index tree as a tree; Qt passes the announcements on when a screen reader listens.
#pragma once

#include "../platform/win32.h"
#include "../views/IndexView.h"

void PublishArticleView(HWND window);
void PublishIndexView(HWND dialog, const IndexView* view);
// The search dialog's caption is the program's name; screen readers call it by
// the heading above its box.
void NameSearchDialog(HWND dialog);
