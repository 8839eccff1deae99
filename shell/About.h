// The About box and the update check.
#pragma once

#include "../platform/win32.h"
#include "../resources/Dialogs.h"

constexpr int kUpdateUrlUnits = 200;

// The link button's font while the About box is open, else null.
extern HFONT gLinkFont;

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Opens the update page in the browser; says so in a message box when no browser
// could open it, since nothing else would tell the user the click did nothing.
void CheckForUpdates(HWND owner);
void OpenVendorHomePage(HWND window);
// Hands url to the shell's "Open" verb, with window as the target; false when
// nothing could open it.
bool OpenInBrowser(HWND window, LPCWSTR url);
// The update URL naming product: letters, digits, '.' and '/' as they are, a
// space as '+', every other unit as '%' and its hexadecimal value. What does not
// fit the buffer is left out.
void BuildUpdateUrl(WCHAR (&url)[kUpdateUrlUnits], LPCWSTR product);
// The link button's underlined bold font, sized to the button's text; null when
// it cannot be created (the button keeps its own font).
HFONT CreateLinkFont(HWND dialog);
void DrawLinkButton(const DRAWITEMSTRUCT* item);
