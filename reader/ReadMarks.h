// Which articles the reader has read: an article counts as read once its last line
// has been on screen. Kept across runs with the reading positions.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

// article 1 to the collection's count; false for any other number.
bool IsArticleRead(int article);
// How many articles are read, for "n of 187 read".
int ReadArticleCount();

// Marks an article read or unread; numbers outside the collection are ignored.
void SetArticleRead(int article, bool read);
void ClearReadMarks();
// The view has just been shown holding the article: when the window is on screen
// and the page reaches the article's last line, the article is read from now on.
void NoteShownPage(const ArticleView* view, int article);
// "12 of 187 read"; characters written, without the terminator.
int ReadCountText(char* out, int capacity);

// The first unread article after the given one in the index's order (the order of
// its links, then any article it does not name, by number), going round; 0 when
// every other article is read.
int NextUnreadArticle(int article);
// Go menu Next Unread: shows that article at its remembered place, or says that
// there is none.
void GoToNextUnread(HWND window);
