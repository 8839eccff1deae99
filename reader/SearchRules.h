// Which records a search reads and which of its matches count. The stored Hebrew
// letters are the bytes 'a' to '{', so bytes alone cannot tell the scripts apart:
// at a Hebrew base a query typed in Hebrew reads only right-to-left records and
// any other query only left-to-right ones. Whole Word takes only matches that are
// not part of a longer word.
#pragma once

#include <cstddef>

#include "../platform/win32.h"
#include "../shell/TextScan.h"

// 224 and 1488 show the stored letters as Hebrew; 97 (and anything else) does not.
bool IsHebrewBase(int32_t base);
// The search string is Hebrew at a Hebrew base: scoped to right-to-left records,
// its finals folded without Match Case.
bool HebrewScopedSearch();
// Whether a record of this style is read by the search.
bool SearchesRecord(BYTE style);

bool WholeWordSearch();
void SetWholeWordSearch(bool on);

// The next hit of the scan that the rules take, in a record's text of `length`
// bytes from `text`; null when none is left.
const char* NextRuledHit(TextScan* scan, const BYTE* text, size_t length, BYTE style);
// Whether a match of n bytes at `at` of the text stands as a whole word.
bool IsWholeWordAt(const BYTE* text, size_t length, size_t at, size_t n, BYTE style);
