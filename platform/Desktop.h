// Desktop services with no Win32 counterpart, behind small named calls.
#pragma once

#include "win32.h"

// The least size, in logical pixels, to which the user can shrink a top-level window
// (the frame's own area, without the window manager's decoration).
void SetMinimumWindowSize(HWND window, int width, int height);

// Offers text as the X11 primary selection (pasted with the middle button); a
// desktop without one ignores it. Empty text withdraws the offer.
void SetPrimarySelection(const WCHAR* text);

// ---- Assistive technology (screen readers) ----
// Exposes a window's client area as text: its name (the article's title), the
// lines it shows and the whole text; a change is announced to the listener.
void SetAccessibleText(HWND window, const WCHAR* name, const WCHAR* visible, const WCHAR* whole);

// One line of a tree: its text, how deep it stands (0 at the root) and, for a line
// with lines below it, whether they are shown.
struct AccessibleTreeItem {
    const WCHAR* text;
    int depth;
    bool expandable;
    bool expanded;
};
// Exposes a window's client area as a tree of these items, in order.
void SetAccessibleTree(HWND window, const AccessibleTreeItem* items, int count);

// Names a window for screen readers apart from its caption or text: a top-level
// window, or a control (an edit box by its label).
void SetAccessibleName(HWND window, const WCHAR* name);

// ---- Pointing at a link in the client area ----
// The pointer over the window's client area is the pointing hand while on is set,
// the arrow otherwise.
void SetPointingHand(HWND window, bool on);
// Shows text as the tooltip of a rectangle of the client area while the pointer
// stays inside it; null text hides it.
void ShowAreaTip(HWND window, const RECT* area, const WCHAR* text);

// ---- The desktop's colours ----
// Whether the desktop asks programs for dark colours: its colour-scheme preference
// where the desktop's settings service answers at once, else the darkness of its
// theme's window colour.
bool DesktopPrefersDark();
// Every control, dialog and menu from now on draws its text and background in these
// colours (COLORREF) instead of the theme's, so that what the program paints itself
// and what the controls paint on it agree; windows whose class paints their
// background are repainted in them.
void SetControlColours(COLORREF text, COLORREF background);
