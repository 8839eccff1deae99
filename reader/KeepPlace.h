// The reader's place, kept by its text: whatever changes the layout (the window's
// size, the font, its size, the code point base), the line that held the first
// visible character is the first line shown afterwards.
#pragma once

#include "../views/ArticleView.h"

// The offset of the character the place is kept by: the first one the first
// visible line shows, or -1 without lines.
int PlaceOf(const ArticleView* view);
// Makes the line that holds offset the first shown, or shows the last page when
// the article ends sooner; false (top row unchanged) when no line holds it.
bool ReturnToPlace(ArticleView* view, int offset);

// Runs change (which lays the view out again) and puts the place back.
template <class Change>
void KeepingPlace(ArticleView* view, Change change) {
    int offset = PlaceOf(view);
    change();
    if (offset >= 0) ReturnToPlace(view, offset);
}

// The hits lit on an article (the search's, and the side panel's others): a new
// size or place of the view lays it out again, but its text is the same and so
// are they.
struct LitHits {
    const BYTE* article;
    uint16_t hitStart, hitEnd;
    const uint16_t* otherHits;
    uint16_t otherHitCount, otherHitLength;
};

LitHits LitHitsOf(const ArticleView* view);
// Lights them again when the view still shows their article.
void Relight(ArticleView* view, const LitHits& lit);

template <class Change>
void KeepingPlaceAndHits(ArticleView* view, Change change) {
    LitHits lit = LitHitsOf(view);
    KeepingPlace(view, change);
    Relight(view, lit);
}
