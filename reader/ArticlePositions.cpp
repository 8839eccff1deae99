#include "ArticlePositions.h"

#include <cstdlib>

#include "../content/Content.h"
#include "../platform/LittleEndian.h"
#include "../shell/AppState.h"
#include "../shell/Settings.h"
#include "KeepPlace.h"
#include "ReadMarks.h"

const WCHAR kPlacesValue[] = TEXT("ArticlePlaces");

namespace {

uint16_t gPlaces[kArticleCount + 1];  // by article number; 0 is the top
// The value was in the settings, or has been written: from then on it is written
// even when it holds nothing, so that an emptied list is not read back.
bool gPlacesStored;

bool InCollection(int article) { return article >= 1 && article <= kArticleCount; }

void PutWord(BYTE* out, uint16_t word) {
    out[0] = (BYTE)word;
    out[1] = (BYTE)(word >> 8);
}

}  // namespace

void RememberPlace(const ArticleView* view, int article) {
    if (!view || !view->article || !InCollection(article)) return;
    int place = view->topRow ? PlaceOf(view) : 0;
    gPlaces[article] = (uint16_t)(place > 0 ? place : 0);
}

int RememberedPlace(int article) { return InCollection(article) ? gPlaces[article] : 0; }

void ReturnToRememberedPlace(ArticleView* view, int article) {
    if (!view) return;
    int place = RememberedPlace(article);
    if (!place || !ReturnToPlace(view, place)) view->topRow = 0;
}

int EncodePlaces(BYTE* out, int capacity) {
    int n = 0;
    for (int article = 1; article <= kArticleCount && n + kPlaceEntrySize <= capacity; article++) {
        bool read = IsArticleRead(article);
        if (!gPlaces[article] && !read) continue;
        PutWord(out + n, (uint16_t)(article | (read ? kPlaceReadBit : 0)));
        PutWord(out + n + 2, gPlaces[article]);
        n += kPlaceEntrySize;
    }
    return n;
}

void DecodePlaces(const BYTE* bytes, size_t size) {
    for (uint16_t& place : gPlaces) place = 0;
    ClearReadMarks();
    for (size_t at = 0; bytes && at + kPlaceEntrySize <= size; at += kPlaceEntrySize) {
        uint16_t key = ReadWord(bytes + at);
        int article = key & ~kPlaceReadBit;
        if (!InCollection(article)) continue;
        gPlaces[article] = ReadWord(bytes + at + 2);
        SetArticleRead(article, (key & kPlaceReadBit) != 0);
    }
}

void LoadArticlePlaces() {
    DWORD size = 0;
    BYTE* list = RegReadBytesSized(kPlacesValue, nullptr, &size);
    gPlacesStored = list != nullptr;
    DecodePlaces(list, list ? size : 0);
    std::free(list);
}

void SaveArticlePlaces() {
    RememberPlace(gApp.articleView, gApp.currentArticle);
    BYTE list[kArticleCount * kPlaceEntrySize];
    int size = EncodePlaces(list, (int)sizeof list);
    if (!size && !gPlacesStored) return;
    gPlacesStored = RegWriteBytes(kPlacesValue, list, (DWORD)size) != 0 || gPlacesStored;
}
