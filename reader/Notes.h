// The reader's highlights and notes: passages marked in one of four colours, each
// with a note of any length or none, held for the run and kept in a file of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum HighlightColour : uint8_t {
    kHighlightYellow = 0,
    kHighlightGreen = 1,
    kHighlightBlue = 2,
    kHighlightPink = 3,
    kHighlightColourCount = 4
};

struct Note {
    uint64_t id;            // unique for the run, never 0
    uint16_t article;       // 1 to the collection's count
    uint16_t record;        // index of the record holding start, for re-anchoring
    uint16_t start, end;    // article offsets [start, end)
    HighlightColour colour;
    bool detached;          // its quote was not found in the article: listed, not drawn
    int64_t created, modified;  // seconds since 1970, UTC
    std::u16string quote;   // the passage as it read when marked
    std::u16string text;    // the note; empty for a highlight alone
};

// Every note, grouped by article in collection order, then by start.
const std::vector<Note>& AllNotes();
// The notes of one article, as indexes into AllNotes().
std::vector<int> NotesOfArticle(int article);
// Adds a note (its id is given here) and returns the id; 0 when memory ran out.
uint64_t AddNote(Note note);
// Replaces the note with the same id; false when there is none.
bool ChangeNote(const Note& note);
// Removes the note; false when there is none.
bool RemoveNote(uint64_t id);
// Each change above is kept within about a second; these hooks let the store and
// the views hear of it.
extern void (*gNotesChanged)();
// The store's own hook, called after gNotesChanged, so that the views keep that one.
extern void (*gNotesStoreChanged)();

// Replaces the whole list (the file read at start, a merge): ids are given anew and
// the order restored. False when memory ran out; the list is then as before.
bool ReplaceNotes(std::vector<Note> notes);
