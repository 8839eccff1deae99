// Highlights and notes in the article window: a selection marked in one of four
// colours, drawn under the text as the selection is; a mark at the edge of the line
// where a passage with a note begins, the note as its tooltip, a click on it opening
// the note; the menu of the selection and of a highlight, and their commands.
#pragma once

#include "../platform/Desktop.h"
#include "../platform/win32.h"
#include "../views/ArticleView.h"
#include "Notes.h"

// The colour a highlight is drawn in: the day set, or the darker set of Night.
COLORREF HighlightFill(HighlightColour colour);
// "Yellow", "Green", "Blue" or "Pink".
const WCHAR* HighlightColourName(HighlightColour colour);

// Installs the drawing of highlights and note marks into the article view's painting.
void EnableHighlights();

// Highlight, Add Note, the four colours, Remove Highlight, Edit Note, Notes and Undo
// Remove Note. A colour, Remove and Edit act on target (a note's id) when it is
// not 0, and on the selection otherwise. False for any other command.
bool RunNoteCommand(HWND window, WORD command, uint64_t target = 0);
// WM_CONTEXTMENU over the article: the selection's menu, or the menu of the
// highlight under the point.
void ShowArticleMenu(HWND window, LPARAM screenPoint);

// The note of the current article whose passage holds the offset, or null; the
// one marked last where passages overlap.
const Note* NoteAtOffset(int offset);
// Narrows a paragraph's run of like attributes around a reading offset to the
// stretch where the same highlight (or none) lies, and gives it that highlight's fill.
void NarrowToHighlights(const ArticleView* view, int readingOffset, AccessibleTextRun* run);
// Where the mark of a note with text stands on the page; false when it is not shown.
bool NoteMarkArea(ArticleView* view, const Note& note, RECT* area);
// The pointer moved with no button down: over a note's mark or its passage, the
// note shows as a tooltip.
void HoverNotes(HWND window, int x, int y);
// A tap on a note's mark opens the note; true when it did.
bool OpenNoteAt(HWND window, int x, int y);

// Removes a note; Undo Remove Note brings it back, as long as the program runs.
void RemoveNoteWithUndo(uint64_t id);
bool UndoRemoveNote();
// Shows a note's article with its passage a third of the way down the page.
void ShowNotePassage(HWND window, const Note& note);
// How many highlights and notes an article has.
int NoteCountOfArticle(int article);
