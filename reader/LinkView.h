// Links in the article window: drawn in the link colour, underlined under the
// pointer with the pointing hand and the target's title as a tooltip, followed by
// a click (into the history), and reached from the keyboard: Tab and Shift+Tab move
// a focus mark among the links on the page, Enter follows the marked one.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"
#include "Links.h"

constexpr COLORREF kDayLinkColour = 0xB0470D;    // a deep blue (0x00BBGGRR)
constexpr COLORREF kNightLinkColour = 0xFFC27A;  // a light sky blue
COLORREF LinkColour();

// Installs the drawing of links into the article view's painting.
void EnableArticleLinks();
// The links whose text the page shows, in text order; at most capacity.
int VisibleLinks(ArticleView* view, TextLink* out, int capacity);
// The link drawn under a client point, or false.
bool LinkAtPoint(ArticleView* view, int x, int y, TextLink* link);
// The rectangle of a link's text on its first visible line, or false when none shows.
bool LinkArea(ArticleView* view, const TextLink& link, RECT* area);

// The pointer moved with no button down: the link under it is marked as hovered.
void HoverLinks(HWND window, int x, int y);
// A tap at a point: follows the link there and returns true, false elsewhere.
bool FollowLinkAt(HWND window, int x, int y);
// Tab, Shift+Tab and Enter over the links; true when the key was taken.
bool LinkKey(HWND window, WPARAM key);
// The offset the focus mark stands on, or -1.
int FocusedLinkStart();
