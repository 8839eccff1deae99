#include "ReadMarks.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstdlib>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"
#include "../content/IndexRecords.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "SaveSoon.h"

namespace {

std::bitset<kArticleCount + 1> gRead;  // by article number; bit 0 unused

bool InCollection(int article) { return article >= 1 && article <= kArticleCount; }

// The articles in the order the index names them, then those it does not name.
struct IndexOrder {
    uint8_t article[kArticleCount];
};

IndexOrder MakeIndexOrder() {
    IndexOrder order;
    std::bitset<kArticleCount + 1> named;
    int n = 0;
    // Without the index (memory short) the order is the articles' numbers.
    if (BYTE* index = LoadContent(kIndexContentNumber, nullptr)) {
        IndexWalker walker = StartIndexWalk(index);
        IndexEntry entry;
        while (NextIndexEntry(&walker, &entry)) {
            int article = entry.key & kKeyNumberMask;
            bool link = (entry.key & (kKeyHeading | kKeyLink)) == kKeyLink;
            if (!link || !InCollection(article) || named[article]) continue;
            named[article] = true;
            order.article[n++] = (uint8_t)article;
        }
        std::free(index);
    }
    for (int article = 1; article <= kArticleCount; article++)
        if (!named[article]) order.article[n++] = (uint8_t)article;
    return order;
}

// The view shows the last line: on the last page, with room for that line.
bool ShowsLastLine(const ArticleView* view) {
    return view->lines && view->rowCount && view->maxTopRow < view->rowCount && view->topRow >= view->maxTopRow;
}

}  // namespace

bool IsArticleRead(int article) { return InCollection(article) && gRead[article]; }

int ReadArticleCount() { return (int)gRead.count(); }

void SetArticleRead(int article, bool read) {
    if (InCollection(article)) gRead[article] = read;
}

void ClearReadMarks() { gRead.reset(); }

void NoteShownPage(const ArticleView* view, int article) {
    if (!view || IsArticleRead(article) || !InCollection(article) || !ShowsLastLine(view)) return;
    // A window not yet shown (being made, or hidden) shows nothing.
    if (!gApp.mainWindow || !IsWindowVisible(gApp.mainWindow)) return;
    gRead[article] = true;
    SaveSoon();
}

int ReadCountText(char* out, int capacity) {
    int n = std::snprintf(out, (size_t)capacity, "%d of %d read", ReadArticleCount(), kArticleCount);
    return n < 0 ? 0 : std::min(n, capacity - 1);
}

int NextUnreadArticle(int article) {
    IndexOrder order = MakeIndexOrder();
    int at = 0;
    while (at < kArticleCount && order.article[at] != article) at++;
    // An article outside the collection starts the walk at the index's beginning.
    if (at == kArticleCount) at = -1;
    for (int step = 1; step <= kArticleCount; step++) {
        int candidate = order.article[(at + step + kArticleCount) % kArticleCount];
        if (candidate != article && !gRead[candidate]) return candidate;
    }
    return 0;
}

void GoToNextUnread(HWND window) {
    int next = NextUnreadArticle(gApp.currentArticle);
    if (next) {
        ShowArticle(window, next);
        return;
    }
    char text[64];
    if (ReadArticleCount() == kArticleCount) {
        std::snprintf(text, sizeof text, "All %d articles are read.", kArticleCount);
    } else {
        std::snprintf(text, sizeof text, "Every other article is read.");
    }
    WCHAR wide[64];
    int n = 0;
    for (; text[n]; n++) wide[n] = (WCHAR)text[n];  // ASCII
    wide[n] = 0;
    MessageBoxW(window, wide, TEXT("Velun"), MB_OK | MB_ICONASTERISK);
}
