// Collecting every hit of the search string with the line of text around it.
#include "FindAll.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "../content/ArticleRecords.h"
#include "AppState.h"
#include "Search.h"

namespace {

constexpr int kNoLimit = 0xFFFF;
constexpr int kContextBefore = 28;  // bytes of the record shown before and after the hit
constexpr int kContextAfter = 40;
constexpr char16_t kEllipsis = u'\u2026';

struct HitWalk {
    HitVisitor visit;
    void* context;
    int count;
};

std::u16string Shown(const BYTE* text, int n, bool rtl, bool* reading = nullptr) {
    std::u16string out(n, u'\0');
    bool inReadingOrder = ShowStoredText(text, n, rtl, (WCHAR*)out.data());
    if (reading) *reading = inReadingOrder;
    return out;
}

std::u16string TitleOf(const BYTE* article) {
    ArticleHeaderEntry title = {}, subtitle = {};
    ReadArticleHeader(article, &title, &subtitle);
    if (!title.text) return u"";
    return Shown(title.text, (int)title.textLength, title.style & kStyleRtl);
}

// The cut ends at word boundaries, so the context does not start or end mid-word.
int ContextStart(const BYTE* text, int hit) {
    int start = std::max(0, hit - kContextBefore);
    if (start == 0) return 0;
    while (start < hit && text[start - 1] != ' ') start++;
    return start;
}

int ContextEnd(const BYTE* text, int length, int hitEnd) {
    int end = std::min(length, hitEnd + kContextAfter);
    if (end == length) return end;
    while (end > hitEnd && text[end] != ' ') end--;
    return end;
}

// The record's text around the hit; a right-to-left one shown in reading order
// puts its parts the other way round. Made in one allocation: there may be
// thousands of hits.
std::u16string ContextOf(const ArticleRecord& record, int hit, int length) {
    const BYTE* text = record.text;
    int hitEnd = std::min(hit + length, (int)record.textLength);
    int start = ContextStart(text, hit), end = ContextEnd(text, (int)record.textLength, hitEnd);
    bool rtl = record.style & kStyleRtl;
    WCHAR before[kContextBefore + 1], found[kSearchStringSize + 1], after[kContextAfter + 1];
    int nBefore = hit - start, nFound = hitEnd - hit, nAfter = end - hitEnd;
    ShowStoredText(text + start, nBefore, rtl, before);
    bool reading = ShowStoredText(text + hit, nFound, rtl, found);
    ShowStoredText(text + hitEnd, nAfter, rtl, after);
    const WCHAR *first = before, *last = after;
    bool cutFirst = start > 0, cutLast = end < (int)record.textLength;
    if (reading) {
        std::swap(first, last);
        std::swap(nBefore, nAfter);
        std::swap(cutFirst, cutLast);
    }
    std::u16string out;
    out.reserve((size_t)(nBefore + nFound + nAfter + 4));
    if (cutFirst) out += kEllipsis;
    out.append(first, (size_t)nBefore).append(1, u'«').append(found, (size_t)nFound).append(1, u'»');
    out.append(last, (size_t)nAfter);
    if (cutLast) out += kEllipsis;
    return out;
}

// The hits of one article at offsets from `from` to `last`, in order: each record
// is searched on from its last hit, as hits never cross records.
void VisitArticleHits(HitWalk& walk, int number, const BYTE* article, int from, int last) {
    int first = FindInArticle(article, from);
    if (!first || first > last) return;
    std::u16string title = TitleOf(article);
    int length = (int)strlen(gApp.searchString);
    ArticleWalker records = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&records, &record)) {
        int offset = (int)(record.text - article);
        if (offset + (int)record.textLength < first) continue;
        const char* text = (const char*)record.text;
        int skip = offset < from ? std::min(from - offset, (int)record.textLength) : 0;
        for (const char* at = FindSearchText(text + skip); at; at = FindSearchText(at + 1)) {
            int hit = (int)((const BYTE*)at - article);
            if (hit > last) return;
            FoundHit found = {number, hit, &title, ContextOf(record, hit - offset, length)};
            walk.visit(found, walk.context);
            walk.count++;
        }
    }
}

bool VisitEveryHit(int number, const BYTE* text, void* context) {
    VisitArticleHits(*(HitWalk*)context, number, text, 0, kNoLimit);
    return false;
}

}  // namespace

int FindAllHits(HitVisitor visit, void* context) {
    HitWalk walk = {visit, context, 0};
    if (!gApp.searchString[0]) return 0;
    ArticleView* view = gApp.articleView;
    const BYTE* current = view ? view->article : nullptr;
    int previous = view ? view->hitStart : 0;
    int number = current ? gApp.currentArticle : 0;
    // As Search Again: after the previous hit, the following articles, then the
    // current article again up to the previous hit.
    if (current) VisitArticleHits(walk, number, current, previous + 1, kNoLimit);
    VisitFollowingArticles(number, VisitEveryHit, &walk);
    if (current && previous) VisitArticleHits(walk, number, current, 0, previous);
    return walk.count;
}
