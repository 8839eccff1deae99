// Collecting every hit of the search string with the line of text around it.
#include "FindAll.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../content/ArticleRecords.h"
#include "../platform/Utf16.h"
#include "../shell/AppState.h"
#include "../shell/Search.h"
#include "SearchRules.h"

namespace {

constexpr int kNoLimit = 0xFFFF;
constexpr int kContextBefore = 28;  // bytes of the record shown before and after the hit
constexpr int kContextAfter = 40;
constexpr char16_t kEllipsis = u'\u2026';
// Marks the marks as right-to-left in a right-to-left context: at an end of the
// context, or beside a digit or a space, they would take the direction around them.
constexpr char16_t kRightToLeftMark = u'\u200F';
// Both cuts with their ellipses, the hit between its marks (each between two
// direction marks), the terminator, and room for a part's last block to be widened whole.
constexpr int kContextSize = kContextBefore + kContextAfter + kSearchStringSize + 9 + 16;
static_assert(kContextSize <= kHitContextSize);

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

}  // namespace

std::u16string ArticleTitleOf(const BYTE* article) {
    ArticleHeaderEntry title = {}, subtitle = {};
    ReadArticleHeader(article, &title, &subtitle);
    if (!title.text) return u"";
    return Shown(title.text, (int)title.textLength, title.style & kStyleRtl);
}

namespace {

typedef unsigned char Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Units16 __attribute__((vector_size(32)));

constexpr int kSpaceWindow = 48;  // bytes looked at for a word boundary, three blocks
static_assert(kContextBefore + 1 <= kSpaceWindow && kContextAfter <= kSpaceWindow);

// Bit i set where text[from + i] is a space, for the `count` bytes from there;
// `readable` counts the record's bytes with its NUL.
uint64_t SpacesFrom(const BYTE* text, int readable, int from, int count) {
    char padded[kSpaceWindow];
    size_t shift = 0;
    const char* window = WindowAt((const char*)text, (size_t)readable, (size_t)from, kSpaceWindow, padded, &shift);
    uint64_t spaces = 0;
    for (int block = 0; block < kSpaceWindow / 16; block++) {
        ScanBlock bytes;
        std::memcpy(&bytes, window + 16 * block, sizeof bytes);
        spaces |= (uint64_t)LanesSet(bytes == ' ') << (16 * block);
    }
    return (spaces >> shift) & ((1ull << count) - 1);
}

// The cut ends at word boundaries, so the context does not start or end mid-word:
// just after the first space before the hit, at the last space after it.
int ContextStart(const BYTE* text, int readable, int hit) {
    int start = std::max(0, hit - kContextBefore);
    if (start == 0) return 0;
    uint64_t spaces = SpacesFrom(text, readable, start - 1, hit - start + 1);
    return spaces ? start + __builtin_ctzll(spaces) : hit;
}

int ContextEnd(const BYTE* text, int readable, int hitEnd) {
    int length = readable - 1, end = std::min(length, hitEnd + kContextAfter);
    if (end == length) return end;
    uint64_t spaces = SpacesFrom(text, readable, hitEnd + 1, end - hitEnd);
    return spaces ? hitEnd + 1 + (63 - __builtin_clzll(spaces)) : hitEnd;
}


// The stored bytes 0x80 to 0x9F (the list bullet among them) as the screen shows them.
void ShowControls(WCHAR* from, WCHAR* to) {
    for (WCHAR* unit = from; unit < to; unit++)
        if (*unit >= 0x80 && *unit < 0xA0) *unit = (WCHAR)C1AsWindows1252(*unit);
}

// A part of a record as the dialogs show it, at `at`; returns its end. Left-to-right
// text is shown byte for byte, sixteen at a time: there may be thousands of hits.
// A last block short of sixteen is widened whole where the record (with its NUL)
// holds it, the units past the part landing in the slack of the context.
WCHAR* ShowPart(const ArticleRecord& record, int from, int to, WCHAR* at) {
    if (record.style & kStyleRtl) {
        ShowStoredText(record.text + from, to - from, true, at);
        ShowControls(at, at + (to - from));
        return at + (to - from);
    }
    int readable = (int)record.textLength + 1;
    for (int i = from; i < to; i += 16) {
        WCHAR* block = at + (i - from);
        if (i + 16 > readable) {
            std::copy(record.text + i, record.text + to, block);
            ShowControls(block, at + (to - from));
            break;
        }
        Bytes16 bytes;
        std::memcpy(&bytes, record.text + i, sizeof bytes);
        Units16 units = __builtin_convertvector(bytes, Units16);
        std::memcpy(block, &units, sizeof units);
        if (LanesSet((ScanBlock)((bytes & 0xE0) == 0x80))) ShowControls(block, block + 16);
    }
    return at + (to - from);
}

// The record's text around the hit, into out (kContextSize units), the hit between
// « and »; right-to-left text shown in reading order has its parts the other way
// round. There may be thousands of hits, so nothing is allocated for one.
const WCHAR* ContextOf(const ArticleRecord& record, int hit, int length, WCHAR* out) {
    int textLength = (int)record.textLength, hitEnd = std::min(hit + length, textLength);
    int start = ContextStart(record.text, textLength + 1, hit);
    int end = ContextEnd(record.text, textLength + 1, hitEnd);
    int parts[4] = {start, hit, hitEnd, end};  // the bounds of the parts, in the order shown
    bool cut[2] = {start > 0, end < textLength};
    bool rtl = ShowsReadingOrder(record.style & kStyleRtl);
    if (rtl) {
        std::reverse(parts, parts + 4);
        std::swap(cut[0], cut[1]);
    }
    WCHAR* at = out;
    if (cut[0]) *at++ = kEllipsis;
    for (int part = 0; part < 3; part++) {
        int from = std::min(parts[part], parts[part + 1]), to = std::max(parts[part], parts[part + 1]);
        at = ShowPart(record, from, to, at);
        if (part == 2) break;
        if (rtl) *at++ = kRightToLeftMark;
        *at++ = part == 0 ? u'«' : u'»';
        if (rtl) *at++ = kRightToLeftMark;
    }
    if (cut[1]) *at++ = kEllipsis;
    *at = 0;
    return out;
}

// The hits of one article at offsets from `from` to `last`, in order: each record
// is searched on from its last hit, as hits never cross records.
void VisitArticleHits(HitWalk& walk, int number, const BYTE* article, int from, int last) {
    std::u16string title;  // made at the first hit
    bool titled = false;
    WCHAR context[kContextSize];
    const TextPattern& pattern = SearchPattern();
    int length = (int)pattern.n;
    ArticleWalker records = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&records, &record)) {
        int offset = (int)(record.text - article);
        if (offset + (int)record.textLength < from || !SearchesRecord(record.style)) continue;
        int skip = offset < from ? std::min(from - offset, (int)record.textLength) : 0;
        TextScan scan = StartTextScan(pattern, (const char*)record.text + skip, record.textLength - skip);
        while (const char* at = NextRuledHit(&scan, record.text, record.textLength, record.style)) {
            int hit = (int)((const BYTE*)at - article);
            if (hit > last) return;
            if (!titled) title = ArticleTitleOf(article), titled = true;
            FoundHit found = {number, hit, &title, ContextOf(record, hit - offset, length, context)};
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

const WCHAR* HitContextAt(const BYTE* article, int hit, int length, WCHAR* out) {
    out[0] = 0;
    ArticleWalker records = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&records, &record)) {
        int offset = (int)(record.text - article);
        if (hit >= offset && hit + length <= offset + (int)record.textLength)
            return ContextOf(record, hit - offset, length, out);
    }
    return out;
}

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
