// The filter over the Contents tree: the articles whose caption or number matches
// what is typed, shown with the headings that lead to them.
#pragma once

#include <cstdint>

#include "../platform/win32.h"
#include "../views/IndexView.h"

constexpr int kFilterWords = 16, kFilterWordUnits = 80;  // a caption has at most 80 bytes

// Typed text made ready for matching: its words, Latin letters folded to lower
// case, every other character kept as typed.
struct ContentsFilter {
    int wordCount;
    bool impossible;  // a word longer than any caption's, or more words than kept
    WCHAR words[kFilterWords][kFilterWordUnits + 1];
};

void CompileFilter(const WCHAR* text, int count, ContentsFilter* out);
bool FilterIsEmpty(const ContentsFilter& filter);
// Every word of the filter begins a word of the caption or of the article's number
// (case-blind, in any order). An empty filter matches everything.
bool CaptionMatches(const ContentsFilter& filter, const BYTE* caption, int length, int number);
// Shows only the links that match and the headings above them, opened; hides the
// rest. Returns the number of matching links (a bookmark counts as well).
int ApplyContentsFilter(IndexView* view, const ContentsFilter& filter);
