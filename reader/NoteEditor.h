// The note editor: the passage quoted above a box for the note, plain text of any
// length, each line shown in the direction of its own text.
#pragma once

#include <cstdint>

#include "../platform/win32.h"

// Opens the note with this id; true when OK changed its text.
bool EditNote(HWND window, uint64_t id);
INT_PTR CALLBACK NoteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
