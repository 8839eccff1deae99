// Searching the collection.
#pragma once

#include "../platform/win32.h"

int FindNext(HWND owner);
INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Stores typed text as the search string: at most 33 characters, each narrowed to
// its low byte (U+05D0 becomes 0xD0).
void SetSearchString(const WCHAR* text, int count);
// Article offset of the first hit of the search string at or after start, 0 for none.
int FindInArticle(const BYTE* article, int start);
// First place in text where pattern matches with A-Z and a-z taken as equal, or null.
const char* FindNoCase(const char* text, const char* pattern);
// An article of the collection decoded for searching, kept for the searches after;
// null when it cannot be loaded. The buffer stays the collection's: a caller that
// keeps the article loads its own copy with LoadContent.
const BYTE* SearchableArticle(int number);
void ReleaseSearchableArticles();
