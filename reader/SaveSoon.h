// Saving soon after a change: what the reader keeps reaches the settings file within
// about a second, every change of that second in one replace, so that a reader that
// is killed or loses its display keeps what the user did.
#pragma once

#include "../platform/win32.h"

// After changing anything the reader keeps (whose value SaveSettings writes,
// shell/Settings.cpp): one call, and the save follows within kSaveDelayMs.
void SaveSoon();
// The main window's hook, called first for each of its messages: notes the messages
// that can change what the reader keeps, and saves on its timer. True when the
// message was the save's own timer (the window does nothing more with it).
bool SaveSoonMessage(HWND window, UINT message, WPARAM wParam);

constexpr UINT kSaveDelayMs = 500;
constexpr UINT_PTR kSaveTimerId = 0x5AFE;
