// Desktop services with no Win32 counterpart, behind small named calls.
#pragma once

#include <string>

#include "win32.h"

// The least size, in logical pixels, to which the user can shrink a top-level window
// (the frame's own area, without the window manager's decoration).
void SetMinimumWindowSize(HWND window, int width, int height);
// Whether the desktop alone places top-level windows (Wayland): the program can set
// a window's size and maximised state there, but can neither read nor set where it
// stands, and dialogs go where the desktop puts a window's transients.
bool DesktopPlacesWindows();

// Offers text as the X11 primary selection (pasted with the middle button); a
// desktop without one ignores it. Empty text withdraws the offer.
void SetPrimarySelection(const WCHAR* text);

// ---- Assistive technology (screen readers) ----
// Exposes a window's client area as text: its name (the article's title), the
// lines it shows and the whole text; a change is announced to the listener.
void SetAccessibleText(HWND window, const WCHAR* name, const WCHAR* visible, const WCHAR* whole);

// What a screen reader asks of such a text beyond its characters, answered by the
// program. Offsets count the units of the whole text; boxes and points are in
// client coordinates. An answer the program cannot give is false (or -1).
struct AccessibleTextRun {
    int start, end;         // the run of like attributes around the asked offset
    const char* language;   // "he", "en"
    bool rightToLeft;
    COLORREF background;    // CLR_INVALID when the text has none of its own
};
struct AccessibleTextCalls {
    bool (*characterBox)(HWND window, int offset, RECT* box);
    int (*offsetAt)(HWND window, int x, int y);
    bool (*setCaret)(HWND window, int offset);
    bool (*setSelection)(HWND window, int start, int end);  // start == end: none
    bool (*attributes)(HWND window, int offset, AccessibleTextRun* run);
};
void SetAccessibleTextCalls(HWND window, const AccessibleTextCalls* calls);
// What the text says of the place of its caret (a note on the passage), or empty;
// a change is announced.
void SetAccessibleDescription(HWND window, const WCHAR* description);
// The caret and the selection [start, end) the window shows, in units of its
// text; a change is announced.
void SetAccessibleCaret(HWND window, int caret, int selectionStart, int selectionEnd);

// One line of a tree: its text, how deep it stands (0 at the root) and, for a line
// with lines below it, whether they are shown; the box it takes on the page
// (client coordinates, empty when scrolled away) and whether it holds the
// keyboard's mark.
struct AccessibleTreeItem {
    const WCHAR* text;
    int depth;
    bool expandable;
    bool expanded;
    RECT box;
    bool focused;
};
// Exposes a window's client area as a tree of these items, in order; the item
// holding the mark is announced as focused when it changes.
void SetAccessibleTree(HWND window, const AccessibleTreeItem* items, int count);
// What a screen reader can do to an item of a tree; the program does it.
enum class TreeAction { Expand, Collapse, Activate };
void SetAccessibleTreeAction(HWND window, void (*act)(HWND window, int item, TreeAction action));

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

// ---- Choosing a file ----
// The desktop's dialogs to save to or open a file. filters: "Markdown (*.md);;Plain
// text (*.txt)"; *chosen, when given, gets the index of the filter the user chose.
// The path, or empty when cancelled.
std::string AskFileToSave(HWND owner, const WCHAR* title, const WCHAR* suggestedName, const WCHAR* filters,
                          int* chosen);
std::string AskFileToOpen(HWND owner, const WCHAR* title, const WCHAR* filters);

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
