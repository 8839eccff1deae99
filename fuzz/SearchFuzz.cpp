// Arbitrary article bytes searched for an arbitrary pattern, with and without
// Match Case, at every base: Find All lists exactly the hits a plain byte-by-byte
// search of each record finds, each with a context that holds its marks and fits
// its buffer, and Search Again's first hit is the list's first.
#include <cstring>
#include <vector>

#include "content/ArticleRecords.h"
#include "fuzz/FuzzBuffers.h"
#include "shell/AppState.h"
#include "reader/FindAll.h"
#include "shell/Search.h"
#include "views/ArticleView.h"

namespace {

constexpr int32_t kBases[] = {97, 224, 1488};
constexpr size_t kMaxArticle = 0xFFFF;  // offsets are 16 bits
constexpr size_t kMostContext = 120;    // what a context may take, its marks included

char Folded(char c, bool matchCase) { return !matchCase && c >= 'A' && c <= 'Z' ? (char)(c + 0x20) : c; }

// Every place of the pattern in each record after the article's first byte.
std::vector<int> PlainHits(const BYTE* article, const char* pattern, bool matchCase) {
    std::vector<int> hits;
    size_t n = std::strlen(pattern);
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        const char* text = (const char*)record.text;
        for (size_t at = 0; at + n <= record.textLength; at++) {
            size_t i = 0;
            while (i < n && Folded(text[at + i], matchCase) == Folded(pattern[i], matchCase)) i++;
            if (i == n && text + at - (const char*)article > 0) hits.push_back((int)(text + at - (const char*)article));
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

// The first byte chooses Match Case and the pattern's length; the pattern (its NULs
// made 'a') and then the article follow.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    bool matchCase = data[0] & 1;
    size_t n = 1 + (size_t)(data[0] >> 1) % (kSearchStringSize - 1);
    if (size < 1 + n || size - 1 - n > kMaxArticle) return 0;
    ArticleView view = {};
    view.article = FuzzContentCopy(data + 1 + n, size - 1 - n);
    ResetAppState();
    for (size_t i = 0; i < n; i++) gApp.searchString[i] = data[1 + i] ? (char)data[1 + i] : 'a';
    gApp.searchString[n] = 0;
    gApp.Flags = matchCase ? kFlagMatchCase : 0;
    gApp.articleView = &view;
    gApp.currentArticle = 1;
    std::vector<int> expected = PlainHits(view.article, gApp.searchString, matchCase);
    for (int32_t base : kBases) {
        gApp.fontSettings.FontAsciiBase = base;
        std::vector<int> listed;
        FuzzCheck(FindAllHits(KeepHit, &listed) == (int)listed.size());
        FuzzCheck(listed == expected);
        FuzzCheck(FindInArticle(view.article, 0) == (expected.empty() ? 0 : expected[0]));
    }
    gApp.articleView = nullptr;
    std::free(view.article);
    return 0;
}
