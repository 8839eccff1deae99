// Where a note stands in its article. The collection is compiled in, so offsets hold
// for ever within one version; a note made with another version (a future collection)
// is found again by its quoted passage, or listed as detached.
#pragma once

#include <string>
#include <vector>

#include "../platform/win32.h"
#include "Notes.h"

// The passage [start, end) of an article as a note quotes it: Unicode Hebrew in
// reading order whatever the reader's base and Reverse option, a line per record.
std::u16string QuoteOfPassage(const BYTE* article, int start, int end);
// Checks each note against its article: one whose quote no longer reads at its
// offsets moves to the nearest place where it does, or is marked detached.
void AnchorNotes(std::vector<Note>* notes);
