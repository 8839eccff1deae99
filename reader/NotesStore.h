// Keeping the notes: read from their file at start, written again about half a second
// after a change by a writer beside the window's thread, so that input never waits
// for the disk, and written at once by the exit sequence.
#pragma once

#include <string>

#include "../platform/win32.h"

// With the main window made: reads the file and checks each note against its article.
// A damaged file is moved aside and never overwritten; a message box over the window
// says where it went, once the window is shown. Without a usable file the list starts
// empty; when the damaged file could not be moved, this run saves nothing.
void LoadNotesAtStart(HWND window);
// The main window's hook: true when the message was one of the store's own timers.
bool NotesStoreMessage(HWND window, UINT message, WPARAM wParam);
// Writes what changed and waits for the writer (the exit sequence).
void FlushNotes();
// Why the last save failed, empty when it did not.
std::string NotesSaveError();

constexpr UINT kNotesSaveDelayMs = 500;
constexpr UINT_PTR kNotesSaveTimerId = 0x5AFF;
constexpr UINT_PTR kNotesReportTimerId = 0x5B00;
