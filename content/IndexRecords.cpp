// The "Bookmarks" section: a heading and one entry per bookmarked article, each
// entry copying the caption of the article's link in the index.
#include "IndexRecords.h"

#include <cstdlib>
#include <cstring>

#include "../shell/AppState.h"
#include "ArticleRecords.h"

namespace {

const BYTE kHeadingRecord[] = {0x77, 0x88, 0xC1, 0x01, 'B', 'o', 'o', 'k', 'm', 'a', 'r', 'k', 's', 0};
constexpr BYTE kEntryStyle = 0x81;
constexpr BYTE kEntryLevel = 2;
constexpr int kRecordOverhead = 5;  // key, style, level and the text's NUL
// Sizes and offsets are 16-bit, and the section gets its end record on top.
constexpr uint32_t kMaxIndexSize = 0xFFFF - kIndexEndLength;

// The first link record of the article, or false.
bool FindLink(const BYTE* index, uint16_t article, IndexEntry* link) {
    uint16_t key = (uint16_t)(article | kKeyLink);
    IndexWalker walker = StartIndexWalk(index);
    while (NextIndexEntry(&walker, link))
        if (link->key == key) return true;
    return false;
}

// Bytes of the records before the end record.
uint32_t RecordsLength(const BYTE* index) {
    uint32_t length = 0;
    IndexWalker walker = StartIndexWalk(index);
    IndexEntry entry;
    while (NextIndexEntry(&walker, &entry)) length += entry.textLength + kRecordOverhead;
    return length;
}

BYTE* WriteEntry(BYTE* out, uint16_t article, const IndexEntry& link) {
    *out++ = (BYTE)(article & 0xFF);
    *out++ = (BYTE)((article >> 8) | 0x40);
    *out++ = kEntryStyle;
    *out++ = kEntryLevel;
    memcpy(out, link.text, link.textLength + 1);
    return out + link.textLength + 1;
}

}  // namespace

uint16_t BuildBookmarkSection(const BYTE* index, BYTE* out) {
    uint32_t size = sizeof kHeadingRecord;
    if (out) out = (BYTE*)memcpy(out, kHeadingRecord, sizeof kHeadingRecord) + sizeof kHeadingRecord;
    const uint16_t* list = gApp.bookmarkList;
    // The count bounds the walk as well, so a list whose 0 went missing is not overrun.
    for (int i = 0; list && i < gApp.bookmarkCount && list[i]; i++) {
        IndexEntry link;
        if (!index || !FindLink(index, list[i], &link)) continue;
        uint32_t entrySize = link.textLength + kRecordOverhead;
        if (size + entrySize > kMaxIndexSize) break;  // a list that long is cut short
        size += entrySize;
        if (out) out = WriteEntry(out, list[i], link);
    }
    if (out) memset(out, 0, kIndexEndLength);
    return (uint16_t)size;
}

BYTE* CreateBookmarkSection(const BYTE* index) {
    uint16_t size = BuildBookmarkSection(index, nullptr);
    auto* section = (BYTE*)malloc((size_t)size + kIndexEndLength);
    if (section) BuildBookmarkSection(index, section);
    return section;
}

BYTE* JoinIndexSections(BYTE* first, BYTE* second) {
    if (!second) return first;
    if (!first) return second;
    uint32_t length1 = RecordsLength(first);
    uint32_t length2 = RecordsLength(second);
    BYTE* joined = length1 + length2 <= kMaxIndexSize ? (BYTE*)malloc(length1 + length2 + kIndexEndLength) : nullptr;
    if (!joined) {
        free(first);
        return second;
    }
    memcpy(joined, first, length1);
    memcpy(joined + length1, second, length2);
    memset(joined + length1 + length2, 0, kIndexEndLength);
    free(first);
    free(second);
    return joined;
}

BYTE* AddBookmarkSection(BYTE* index) {
    if (!gApp.bookmarkList || gApp.bookmarkCount == 0) return index;
    BYTE* section = CreateBookmarkSection(index);
    if (!section) return index;
    return JoinIndexSections(section, index);
}
