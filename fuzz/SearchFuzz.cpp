// Arbitrary article bytes searched for an arbitrary pattern, with and without
// Match Case and Whole Word, as Latin or as Hebrew, at every base: Find All lists
// exactly the hits a plain byte-by-byte search of each record finds (at a Hebrew
// base only the records of the pattern's script, Hebrew finals folded without
// Match Case), each with a context that holds its marks and fits its buffer, and
// Search Again's first hit is the list's first.
#include <cstring>
#include <vector>

#include "content/ArticleRecords.h"
#include "fuzz/FuzzBuffers.h"
#include "shell/AppState.h"
#include "reader/FindAll.h"
#include "reader/SearchRules.h"
#include "shell/Search.h"
#include "views/ArticleView.h"

namespace {

constexpr int32_t kBases[] = {97, 224, 1488};
constexpr size_t kMaxArticle = 0xFFFF;  // offsets are 16 bits
constexpr size_t kMostContext = 120;    // what a context may take, its marks included

struct Rules {
    bool matchCase, wholeWord, hebrew, hebrewBase;
};

char Folded(char c, const Rules& rules) {
    if (rules.matchCase) return c;
    if (rules.hebrew && rules.hebrewBase) return c == 'k' || c == 'n' || c == 'p' || c == 't' || c == 'v' ? (char)(c + 1) : c;
    return c >= 'A' && c <= 'Z' ? (char)(c + 0x20) : c;
}

bool IsWordByte(BYTE b, bool rtl) {
    bool ascii = (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    bool windows = b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F;
    return ascii || windows || (rtl ? b == '{' : b >= 0xC0 && b != 0xD7 && b != 0xF7);
}

bool StandsAlone(const BYTE* text, size_t length, size_t at, size_t n, bool rtl) {
    bool openBound = at == 0 || !IsWordByte(text[at - 1], rtl) || !IsWordByte(text[at], rtl);
    bool closeBound = at + n == length || !IsWordByte(text[at + n], rtl) || !IsWordByte(text[at + n - 1], rtl);
    return openBound && closeBound;
}

// Every place of the pattern in each record the rules read, after the article's first byte.
std::vector<int> PlainHits(const BYTE* article, const char* pattern, const Rules& rules) {
    std::vector<int> hits;
    size_t n = std::strlen(pattern);
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        bool rtl = record.style & kStyleRtl;
        if (rules.hebrewBase && rtl != rules.hebrew) continue;
        const char* text = (const char*)record.text;
        for (size_t at = 0; at + n <= record.textLength; at++) {
            size_t i = 0;
            while (i < n && Folded(text[at + i], rules) == Folded(pattern[i], rules)) i++;
            if (i < n || text + at - (const char*)article <= 0) continue;
            if (rules.wholeWord && !StandsAlone(record.text, record.textLength, at, n, rtl)) continue;
            hits.push_back((int)(text + at - (const char*)article));
        }
    }
    return hits;
}

void KeepHit(const FoundHit& hit, void* context) {
    size_t length = 0;
    while (length < kMostContext && hit.context[length]) length++;
    FuzzCheck(length < kMostContext);
    std::u16string shown(hit.context, length);
    FuzzCheck(shown.find(u'«') != std::u16string::npos && shown.find(u'»') != std::u16string::npos);
    ((std::vector<int>*)context)->push_back(hit.offset);
}

}  // namespace

// The first byte chooses Match Case and the pattern's length, the second Whole
// Word and a Hebrew pattern; the pattern (its NULs made 'a') and then the article follow.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    Rules rules = {(data[0] & 1) != 0, (data[1] & 1) != 0, (data[1] & 2) != 0, false};
    size_t n = 1 + (size_t)(data[0] >> 1) % (kSearchStringSize - 1);
    if (size < 2 + n || size - 2 - n > kMaxArticle) return 0;
    ArticleView view = {};
    view.article = FuzzContentCopy(data + 2 + n, size - 2 - n);
    ResetAppState();
    for (size_t i = 0; i < n; i++) gApp.searchString[i] = data[2 + i] ? (char)data[2 + i] : 'a';
    gApp.searchString[n] = 0;
    gApp.searchHebrew = rules.hebrew;
    gApp.Flags = rules.matchCase ? kFlagMatchCase : 0;
    SetWholeWordSearch(rules.wholeWord);
    gApp.articleView = &view;
    gApp.currentArticle = 1;
    for (int32_t base : kBases) {
        gApp.fontSettings.FontAsciiBase = base;
        rules.hebrewBase = base != 97;
        std::vector<int> expected = PlainHits(view.article, gApp.searchString, rules);
        std::vector<int> listed;
        FuzzCheck(FindAllHits(KeepHit, &listed) == (int)listed.size());
        FuzzCheck(listed == expected);
        FuzzCheck(FindInArticle(view.article, 0) == (expected.empty() ? 0 : expected[0]));
    }
    gApp.articleView = nullptr;
    std::free(view.article);
    return 0;
}
