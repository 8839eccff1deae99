// Searching the collection.
#pragma once

#include "../platform/win32.h"
#include "TextScan.h"

int FindNext(HWND owner);
// Shows a hit found earlier as Search Again shows one, loading its article when it
// is not the current one. 1 when shown, 0 when the article could not be taken.
int ShowHitAt(HWND owner, int number, int offset);

// Called with each article of the walk, decoded for searching (the collection's
// buffer, see SearchableArticle); true ends the walk.
typedef bool (*ArticleVisitor)(int number, const BYTE* text, void* context);
// The articles after `current` in the order Search Again goes through them: up to
// the last, then from the first up to `current` (excluded). Articles that cannot
// be loaded are skipped; a current article out of range counts as none.
void VisitFollowingArticles(int current, ArticleVisitor visit, void* context);
INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Stores typed text as the search string: at most 33 characters. Hebrew letters
// (and units the current base shows letters as) become the stored letters 'a' to
// '{', Hebrew typed in reading order is put in display order; any other character
// keeps its low byte.
void SetSearchString(const WCHAR* text, int count);
// The search string as the search box shows it, into out (kSearchStringSize units):
// a Hebrew one through the current base, in reading order when that gives Hebrew
// letters. Returns the units written, before the terminator.
int ShownSearchString(WCHAR* out);
// Stored text as the dialogs show it: right-to-left text through the current base,
// in reading order when that gives Hebrew letters (then true); other text byte for
// byte. out holds n + 1 units.
bool ShowStoredText(const BYTE* text, int n, bool rtl, WCHAR* out);
// Whether ShowStoredText gives text of that direction in reading order.
bool ShowsReadingOrder(bool rtl);
// The search string made ready for scanning, minding Match Case.
const TextPattern& SearchPattern();
// Article offset of the first hit of the search string at or after start, 0 for none.
int FindInArticle(const BYTE* article, int start);
// An article of the collection decoded for searching, kept for the searches after;
// null when it cannot be loaded. The buffer stays the collection's: a caller that
// keeps the article loads its own copy with LoadContent.
const BYTE* SearchableArticle(int number);
void ReleaseSearchableArticles();
