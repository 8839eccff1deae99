// The article's title as the title bar and the status line show it.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

// The view's article title, mapped as the view maps it (at most capacity - 1
// units, terminated); the units written, 0 without a title.
int ArticleTitleText(const ArticleView* view, WCHAR* out, int capacity);
// The same for an article buffer (null gives 0).
int TitleTextOf(const BYTE* article, WCHAR* out, int capacity);
