// The collection as search reads it: each article decoded once and kept, so that
// searching again (F3 through the whole collection) only scans text; and finding
// the search string in it.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"
#include "../reader/SearchRules.h"
#include "AppState.h"
#include "Search.h"

namespace {

// The resource a kept text was decoded from: a different one (tests serve their
// own resources) is decoded afresh.
struct SearchableText {
    HRSRC resource;
    const void* bytes;
    DWORD size;
    BYTE* text;
};

SearchableText gSearchable[kArticleCount + 1];

}  // namespace

const BYTE* SearchableArticle(int number) {
    if (number < 1 || number > kArticleCount) return nullptr;
    HRSRC resource = FindResourceW(gApp.instance, MAKEINTRESOURCE(number + kContentIdBase), RT_RCDATA);
    const void* bytes = resource ? LoadResource(gApp.instance, resource) : nullptr;
    DWORD size = resource ? SizeofResource(gApp.instance, resource) : 0;
    SearchableText& kept = gSearchable[number];
    if (kept.text && kept.resource == resource && kept.bytes == bytes && kept.size == size) return kept.text;
    std::free(kept.text);
    kept = {resource, bytes, size, LoadContent(number, nullptr)};
    return kept.text;
}

void ReleaseSearchableArticles() {
    for (SearchableText& kept : gSearchable) {
        std::free(kept.text);
        kept = {};
    }
}

const TextPattern& SearchPattern() {
    // Made again only when the search string or its rules changed since.
    static char madeFrom[kSearchStringSize];
    static int madeRules = -1;
    bool matchCase = (gApp.Flags & kFlagMatchCase) != 0, hebrew = HebrewScopedSearch();
    static TextPattern pattern = MakeTextPattern(madeFrom, false);
    int rules = (int)matchCase | (int)hebrew << 1;
    if (strcmp(madeFrom, gApp.searchString) != 0 || rules != madeRules) {
        std::memcpy(madeFrom, gApp.searchString, kSearchStringSize - 1);
        madeRules = rules;
        pattern = hebrew ? MakeHebrewPattern(madeFrom, !matchCase) : MakeTextPattern(madeFrom, matchCase);
    }
    return pattern;
}

int FindInArticle(const BYTE* article, int start) {
    if (!article || !article[0]) return 0;
    const TextPattern& pattern = SearchPattern();
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        if (!SearchesRecord(record.style)) continue;
        // A text reaching past the start is searched from there; one wholly before
        // it is not searched (the skip stops at its NUL).
        int offset = (int)(record.text - article);
        int skip = offset < start ? std::min(start - offset, (int)record.textLength) : 0;
        TextScan scan = StartTextScan(pattern, (const char*)record.text + skip, record.textLength - skip);
        const char* hit = NextRuledHit(&scan, record.text, record.textLength, record.style);
        if (hit) return (int)((const BYTE*)hit - article);
    }
    return 0;
}

void VisitFollowingArticles(int current, ArticleVisitor visit, void* context) {
    // A current article out of range is treated as none, so the walk still ends.
    if (current < 0 || current > kArticleCount) current = 0;
    for (int i = current + 1;; i++) {
        if (i > kArticleCount) i = current ? 1 : 0;
        if (i == current) return;
        const BYTE* text = SearchableArticle(i);
        if (text && visit(i, text, context)) return;
    }
}
