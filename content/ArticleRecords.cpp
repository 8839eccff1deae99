// content/ is the content store: the compiled-in resources to decompressed buffers,
// and the article and index records in them. It calls platform/ alone.
// Walking article and index records, and reading an article's title and subtitle.
#include <cstring>

#include "ArticleRecords.h"

ArticleWalker StartArticleWalk(const BYTE* article) { return {article}; }

bool NextArticleRecord(ArticleWalker* walker, ArticleRecord* record) {
    const BYTE* p = walker->next;
    if (!p || p[0] == 0) {
        walker->next = nullptr;
        return false;
    }
    record->style = p[0];
    record->indent = p[1];
    record->text = p + 2;
    record->textLength = (uint32_t)std::strlen((const char*)record->text);
    walker->next = record->text + record->textLength + 1;
    return true;
}

IndexWalker StartIndexWalk(const BYTE* index) { return {index}; }

bool NextIndexEntry(IndexWalker* walker, IndexEntry* entry) {
    const BYTE* p = walker->next;
    if (!p || p[2] == 0) {
        walker->next = nullptr;
        return false;
    }
    entry->key = (uint16_t)(p[0] | p[1] << 8);
    entry->style = p[2];
    entry->level = p[3];
    entry->text = p + 4;
    entry->textLength = (uint32_t)std::strlen((const char*)entry->text);
    walker->next = entry->text + entry->textLength + 1;
    return true;
}

namespace {
void FillHeaderEntry(ArticleHeaderEntry* entry, const ArticleRecord& record) {
    entry->textLength = record.textLength;
    entry->style = record.style;
    entry->text = record.text;
}
}  // namespace

void ReadArticleHeader(const BYTE* article, ArticleHeaderEntry* title, ArticleHeaderEntry* subtitle) {
    if (title) *title = {};
    if (subtitle) *subtitle = {};
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    if (!NextArticleRecord(&walker, &record)) return;
    if (record.style == kTitleStyle || record.style == kRtlTitleStyle) {
        if (title) FillHeaderEntry(title, record);
        if (!NextArticleRecord(&walker, &record)) return;
    }
    if (subtitle && (record.style == kSubtitleStyle || record.style == kRtlSubtitleStyle))
        FillHeaderEntry(subtitle, record);
}
