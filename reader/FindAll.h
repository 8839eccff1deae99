// Every hit of the search string at once, for the Find All list and the headless
// listing.
#pragma once

#include <string>

#include "../platform/win32.h"

struct FoundHit {
    int article;
    int offset;                   // article offset, as Search Again's hit start
    const std::u16string* title;  // the article's title, as the dialogs show it
    const WCHAR* context;         // the text around the hit, the hit between « and »;
                                  // valid during the call only
};

typedef void (*HitVisitor)(const FoundHit& hit, void* context);

// Room for a hit's context with its terminator.
constexpr int kHitContextSize = 160;
// The context of a hit of `length` bytes at an article offset, as FoundHit gives
// it, into out (kHitContextSize units); empty when no record holds the offset.
const WCHAR* HitContextAt(const BYTE* article, int hit, int length, WCHAR* out);
// An article's title as the dialogs show it.
std::u16string ArticleTitleOf(const BYTE* article);

// Calls visit for every hit, in the order Search Again would show them from the
// view's current hit, and returns how many there were. The other articles are
// read from the decoded collection Search Again keeps.
int FindAllHits(HitVisitor visit, void* context);

// The list dialog over `owner`: "Not Found!" when there is no hit; otherwise the
// hit the reader chooses is shown as Search Again shows one. 1 when a hit was shown.
int ChooseFromAllHits(HWND owner);
INT_PTR CALLBACK FindAllDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
