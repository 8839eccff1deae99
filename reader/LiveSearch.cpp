// The hits of the search string in collection order, read from the decoded
// collection Search Again keeps; each row's text is made only when it is shown.
#include "LiveSearch.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"
#include "../shell/Search.h"
#include "FindAll.h"
#include "SearchRules.h"

namespace {

enum : int { kRuleMatchCase = 1, kRuleWholeWord = 2, kRuleHebrewScoped = 4, kRuleRecordZero = 8 };

int CurrentRules() {
    return ((gApp.Flags & kFlagMatchCase) ? kRuleMatchCase : 0) | (WholeWordSearch() ? kRuleWholeWord : 0) |
           (HebrewScopedSearch() ? kRuleHebrewScoped : 0) | (SearchesRecord(0) ? kRuleRecordZero : 0);
}

// The last hits of one article, in offset order: a narrowed search reads only the
// records that held one of them.
struct LastHits {
    const LiveHit* next;
    const LiveHit* end;
};

bool HeldALastHit(LastHits* last, const BYTE* article, const ArticleRecord& record) {
    if (!last) return true;
    size_t start = (size_t)(record.text - article), end = start + record.textLength;
    while (last->next != last->end && last->next->offset < start) last->next++;
    return last->next != last->end && last->next->offset < end;
}

void CollectArticleHits(LiveSearch* search, int number, const BYTE* article, const TextPattern& pattern,
                        LastHits* last) {
    size_t before = search->hits.size();
    ArticleWalker records = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&records, &record)) {
        if (!SearchesRecord(record.style) || !HeldALastHit(last, article, record)) continue;
        TextScan scan = StartTextScan(pattern, (const char*)record.text, record.textLength);
        while (const char* at = NextRuledHit(&scan, record.text, record.textLength, record.style))
            search->hits.push_back({(uint16_t)number, (uint16_t)((const BYTE*)at - article)});
    }
    int count = (int)(search->hits.size() - before);
    if (!count) return;
    search->rows.push_back(-(int)search->groups.size() - 1);
    search->groups.push_back({(uint16_t)number, (int)before, count});
    for (int i = 0; i < count; i++) search->rows.push_back((int)before + i);
}

int Copy(const std::u16string& text, WCHAR* out, int capacity) {
    int n = std::min((int)text.size(), capacity - 1);
    std::copy(text.begin(), text.begin() + n, out);
    out[n] = 0;
    return n;
}

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// A row's text, which may run out of memory.
int RowText(const LiveSearch& search, int row, WCHAR* out, int capacity, bool* heading) {
    int entry = search.rows[row];
    if (entry < 0) {
        const LiveGroup& group = search.groups[-entry - 1];
        const BYTE* article = SearchableArticle(group.article);
        std::u16string title = article ? ArticleTitleOf(article) : u"";
        *heading = true;
        return Copy(Ascii(std::to_string(group.article) + "  ") + title + Ascii("  (" + std::to_string(group.count) + ")"),
                    out, capacity);
    }
    const LiveHit& hit = search.hits[entry];
    const BYTE* article = SearchableArticle(hit.article);
    WCHAR context[kHitContextSize];
    if (article) HitContextAt(article, hit.offset, (int)std::strlen(search.query), context);
    return Copy(article ? u"    " + std::u16string(context) : u"", out, capacity);
}

// Every article, or, narrowed, only the records that held one of the last hits.
void CollectHits(LiveSearch* search, bool narrowed) {
    const TextPattern& pattern = SearchPattern();
    const LiveHit* last = search->lastHits.data();
    const LiveHit* lastEnd = last + search->lastHits.size();
    for (int number = 1; number <= kArticleCount; number++) {
        LastHits held{last, last};
        while (held.end != lastEnd && held.end->article == number) held.end++;
        last = held.end;
        if (narrowed && held.next == held.end) continue;
        if (const BYTE* article = SearchableArticle(number))
            CollectArticleHits(search, number, article, pattern, narrowed ? &held : nullptr);
    }
}

}  // namespace

void RunLiveSearch(LiveSearch* search) {
    // A match of the new string holds one of the last whenever the last lies inside
    // it and both are read under the same rules, except whole words (the shorter is
    // no word inside the longer): only the records that held a last hit need reading.
    int rules = CurrentRules();
    bool narrowed = search->complete && search->query[0] && rules == search->rules && !(rules & kRuleWholeWord) &&
                    std::strstr(gApp.searchString, search->query);
    // The last hits change places with the new ones' room, so typing allocates nothing.
    search->lastHits.swap(search->hits);
    std::memcpy(search->query, gApp.searchString, kSearchStringSize);
    search->rules = rules;
    search->hits.clear();
    search->groups.clear();
    search->rows.clear();
    search->chosen = -1;
    search->complete = true;
    // Memory running out lists nothing, as a search that finds nothing does.
    try {
        if (gApp.searchString[0]) CollectHits(search, narrowed);
    } catch (const std::bad_alloc&) {
        search->hits.clear();
        search->groups.clear();
        search->rows.clear();
        search->complete = false;
    }
}

bool LiveSearchIsCurrent(const LiveSearch& search) {
    return std::strcmp(search.query, gApp.searchString) == 0 && search.rules == CurrentRules();
}

int LiveRowText(const LiveSearch& search, int row, WCHAR* out, int capacity, bool* heading) {
    *heading = false;
    if (capacity > 0) out[0] = 0;
    if (row < 0 || row >= (int)search.rows.size() || capacity < 2) return 0;
    // Memory running out shows the row empty.
    try {
        return RowText(search, row, out, capacity, heading);
    } catch (const std::bad_alloc&) {
        out[0] = 0;
        return 0;
    }
}

int HitOfRow(const LiveSearch& search, int row) {
    if (row < 0 || row >= (int)search.rows.size()) return -1;
    int entry = search.rows[row];
    return entry >= 0 ? entry : search.groups[-entry - 1].firstHit;
}

int RowOfHit(const LiveSearch& search, int hit) {
    if (hit < 0 || hit >= (int)search.hits.size()) return -1;
    // Each group's heading stands before its hits: the row is the hit's index plus
    // the headings up to and including its group's.
    return hit + GroupOfHit(search, hit) + 1;
}

int GroupOfHit(const LiveSearch& search, int hit) {
    auto group = std::upper_bound(search.groups.begin(), search.groups.end(), hit,
                                  [](int h, const LiveGroup& g) { return h < g.firstHit; });
    return (int)(group - search.groups.begin()) - 1;
}

std::u16string LiveStatusText(const LiveSearch& search) {
    size_t hits = search.hits.size(), articles = search.groups.size();
    if (!search.query[0]) return u"";
    if (!hits) return u"Not found";
    std::string in = " in " + std::to_string(articles) + (articles == 1 ? " article" : " articles");
    if (search.chosen < 0) return Ascii(std::to_string(hits) + (hits == 1 ? " hit" : " hits") + in);
    return Ascii("hit " + std::to_string(search.chosen + 1) + " of " + std::to_string(hits) + in);
}

std::u16string LiveStatusBrief(const LiveSearch& search) {
    if (search.chosen < 0 || search.chosen >= (int)search.hits.size()) return u"";
    return Ascii(std::to_string(search.chosen + 1) + "/" + std::to_string(search.hits.size()));
}
