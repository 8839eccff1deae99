// Where each article was left: coming back to an article (Next and Previous, the
// index, Go To, a link, Next Unread) opens it there, in this run and the next ones.
// A place is kept by its text, the article offset of the first character shown, so
// that a font, column or window change between the visits does not move it.
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

// The settings value that holds every place and the read marks (README, Settings).
extern const WCHAR kPlacesValue[];
// Each entry: the article's number (bit 15 set when it is read), then its place, 0
// for its top; both 16-bit little-endian. Articles at their top and unread have none.
constexpr int kPlaceEntrySize = 4;
constexpr uint16_t kPlaceReadBit = 0x8000;

// The top row asked of an article shown at its remembered place.
constexpr int kRememberedPlace = -1;

// The reader leaves the view's article, number article: its place is remembered.
void RememberPlace(const ArticleView* view, int article);
// The offset remembered for an article, 0 for its top.
int RememberedPlace(int article);
// The view has just been laid out with the article: it goes to the remembered place,
// or to the top when there is none or no line holds it.
void ReturnToRememberedPlace(ArticleView* view, int article);

// The list in the settings value's form, in number order; bytes written.
int EncodePlaces(BYTE* out, int capacity);
// Takes a list of that form in place of the one held (read marks too). Whole entries
// naming an article of the collection count; a cut-off tail and other numbers are
// passed over, so those articles keep their default (the top, unread).
void DecodePlaces(const BYTE* bytes, size_t size);
// From and to the settings, where the other values are read and written; the save
// first takes the current article's place.
void LoadArticlePlaces();
void SaveArticlePlaces();
