// The notes file: every highlight and note in one UTF-8 text file of its own, which
// a person can read and a program can merge. It begins with the line "velun notes 1",
// holds one [note] section per highlight and ends with the line "[end]", so that a
// file cut short is known as such:
//
//   [note]
//   article = 12            1 to the collection's count
//   record = 4              the record holding start, counted from 0
//   start = 310             byte offsets in the article, start < end
//   end = 352
//   colour = yellow         yellow, green, blue or pink
//   created = 2026-12-09T20:32:12Z
//   modified = 2026-12-09T20:40:01Z
//   quote = the passage as it read
//   note = the note; empty for a highlight alone
//
// Lines starting with '#' are comments. In quote and note a line end is written
// \n, a backslash \\ (and \r, \t for those units).
#pragma once

#include <string>
#include <vector>

#include "Notes.h"

// A larger file is damaged, not read: it must not exhaust memory.
constexpr size_t kMaxNotesFileSize = 64u << 20;

// $XDG_DATA_HOME/velun/notes.txt, with ~/.local/share when XDG_DATA_HOME is unset
// or relative. The previous file is kept beside it as notes.txt.bak.
std::string NotesFilePath();

std::string FormatNotes(const std::vector<Note>& notes);
// The notes of a file in its order (ids 0, none detached); on failure *error says
// where and why ("line 3: ...") and *out is unspecified.
bool ParseNotes(const std::string& text, std::vector<Note>* out, std::string* error);

// 0: read; 1: there is no file; -1: unreadable or too large (*why says which).
int ReadNotesFile(const std::string& path, std::string* text, std::string* why);
// Keeps the file there as path.bak, then replaces it so that a crash at any moment
// leaves the old or the new one whole. False with errno set on failure.
bool WriteNotesFile(const std::string& path, const std::string& text);
// Moves a damaged file aside (path.broken-DATE): the name it now has, or empty
// when it could not be moved.
std::string SetNotesFileAside(const std::string& path);
