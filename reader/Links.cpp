#include "Links.h"

#include <cstring>
#include <initializer_list>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"

namespace {

bool IsLetter(BYTE c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
bool IsDigit(BYTE c) { return c >= '0' && c <= '9'; }

// Whether the text at `at` is `word` in any case.
bool WordAt(const BYTE* text, int length, int at, const char* word) {
    int n = (int)std::strlen(word);
    if (at + n > length) return false;
    for (int i = 0; i < n; i++)
        if ((text[at + i] | 0x20) != word[i]) return false;
    return true;
}

// The article number at `at`: one to three digits with no letter or digit after
// them and no leading zero; its end goes to *end. 0 when there is none or it
// names no article.
int NumberAt(const BYTE* text, int length, int at, int* end) {
    int n = 0, i = at;
    while (i < length && IsDigit(text[i]) && i - at < 4) n = n * 10 + (text[i++] - '0');
    if (i == at || i - at > 3 || text[at] == '0') return 0;
    if (i < length && (IsDigit(text[i]) || IsLetter(text[i]))) return 0;
    *end = i;
    return n <= kArticleCount ? n : 0;
}

// The length of a joiner between numbers of a list at `at`, or 0.
int JoinerAt(const BYTE* text, int length, int at) {
    for (const char* joiner : {", and ", ", ", " and ", " or ", " to ", "-"})
        if (WordAt(text, length, at, joiner)) return (int)std::strlen(joiner);
    return 0;
}

}  // namespace

int FindTextLinks(const BYTE* text, int length, TextLink* out, int capacity) {
    int count = 0;
    for (int at = 0; at < length && count < capacity; at++) {
        if (!WordAt(text, length, at, "article") || (at > 0 && IsLetter(text[at - 1]))) continue;
        bool plural = WordAt(text, length, at, "articles");
        int space = at + 7 + plural;
        if (space >= length || text[space] != ' ') continue;
        int end = 0, target = NumberAt(text, length, space + 1, &end);
        if (!target) continue;
        out[count++] = {(uint16_t)at, (uint16_t)end, (uint16_t)target};
        at = end - 1;
        // A list goes on while joiners and numbers follow each other.
        for (int joiner; plural && count < capacity && (joiner = JoinerAt(text, length, end)) != 0;) {
            int next = end + joiner;
            if (!(target = NumberAt(text, length, next, &end))) break;
            out[count++] = {(uint16_t)next, (uint16_t)end, (uint16_t)target};
            at = end - 1;
        }
    }
    return count;
}

int FindArticleLinks(const BYTE* article, TextLink* out, int capacity) {
    if (!article) return 0;
    int count = 0;
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (count < capacity && NextArticleRecord(&walker, &record)) {
        if ((record.style & kStyleRtl) || IsSeparatorStyle(record.style)) continue;
        size_t base = (size_t)(record.text - article);
        // Offsets are 16 bits, as the view's are.
        if (base + record.textLength > 0xFFFF) break;
        int found = FindTextLinks(record.text, (int)record.textLength, out + count, capacity - count);
        for (int i = count; i < count + found; i++) {
            out[i].start = (uint16_t)(out[i].start + base);
            out[i].end = (uint16_t)(out[i].end + base);
        }
        count += found;
    }
    return count;
}
