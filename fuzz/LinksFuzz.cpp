// Arbitrary bytes scanned for links, as one record's text and as a whole article:
// every link lies inside its text, in order, without overlap, names an article
// from 1 to 187 by the digits it ends with, and a full list is cut at the capacity.
#include <cstdlib>
#include <cstring>

#include "content/ArticleRecords.h"
#include "fuzz/FuzzBuffers.h"
#include "reader/Links.h"

namespace {

constexpr int kCapacity = 64;

// The decimal number the range ends with.
int TrailingNumber(const BYTE* text, const TextLink& link) {
    int start = link.end;
    while (start > link.start && text[start - 1] >= '0' && text[start - 1] <= '9') start--;
    int n = 0;
    for (int i = start; i < link.end; i++) n = n * 10 + (text[i] - '0');
    return n;
}

void CheckLinks(const BYTE* text, size_t size, const TextLink* links, int count) {
    FuzzCheck(count >= 0 && count <= kCapacity);
    for (int i = 0; i < count; i++) {
        FuzzCheck(links[i].start < links[i].end && links[i].end <= size);
        FuzzCheck(links[i].target >= 1 && links[i].target <= kArticleCount);
        FuzzCheck(TrailingNumber(text, links[i]) == links[i].target);
        if (i) FuzzCheck(links[i - 1].end <= links[i].start);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFF) return 0;
    // The record's text alone, with nothing after it, so that a read past its end is seen.
    auto* text = (BYTE*)std::malloc(size ? size : 1);
    if (!text) std::abort();
    if (size) std::memcpy(text, data, size);
    TextLink links[kCapacity];
    CheckLinks(text, size, links, FindTextLinks(text, (int)size, links, kCapacity));
    std::free(text);

    BYTE* article = FuzzContentCopy(data, size);
    int count = FindArticleLinks(article, links, kCapacity);
    CheckLinks(article, size, links, count);
    std::free(article);
    return 0;
}
