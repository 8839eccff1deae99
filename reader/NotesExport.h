// Taking the notes away: a document of them in Markdown, plain text or RTF, and
// the notes file of another reader merged into this one.
#pragma once

#include <string>
#include <vector>

#include "../platform/win32.h"
#include "Notes.h"

enum class NotesFormat { kMarkdown, kText, kRtf };

// "markdown", "text" or "rtf"; false for anything else.
bool NotesFormatNamed(const char* name, NotesFormat* format);
// The notes (grouped by article, as AllNotes keeps them) as a document: each article's
// title as a heading, each quoted passage with its note under it, Hebrew right to left.
// False when memory ran out.
bool ExportNotes(const std::vector<Note>& notes, NotesFormat format, std::string* out);

struct NotesMerge {
    int added;
    int known;  // already here: same article, passage, quote and note
};
// Merges the text of a notes file into the list; false with *why when the file
// cannot be read as one, or memory ran out.
bool MergeNotes(const std::string& text, NotesMerge* merge, std::string* why);

// File > Export Notes... and File > Import Notes...
void ExportNotesFromReader(HWND owner);
void ImportNotesFromReader(HWND owner);
