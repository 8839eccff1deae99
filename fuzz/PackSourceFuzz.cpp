// Arbitrary text through velun-pack's source parsers, as an article and as the
// index. A source they accept must compile to content the program's walker reads
// to its end inside the buffer, and its dump must compile back to the same bytes.
#include <string>

#include "content/ArticleRecords.h"
#include "fuzz/FuzzBuffers.h"
#include "tools/ArticleSource.h"
#include "tools/Dump.h"
#include "tools/IndexSource.h"

namespace {

const char kFile[] = "fuzz.txt";

// The records the program's walker finds in the stored bytes are the parsed ones.
void CheckWalk(const Bytes& content, const std::vector<PackedRecord>& records) {
    BYTE* buffer = FuzzContentCopy(content.data(), content.size());
    ArticleWalker walker = StartArticleWalk(buffer);
    ArticleRecord record;
    size_t n = 0;
    while (NextArticleRecord(&walker, &record)) {
        FuzzCheck(n < records.size());
        FuzzCheck(record.style == records[n].style && record.indent == records[n].indent);
        FuzzCheck(std::string((const char*)record.text, record.textLength) == records[n].text);
        n++;
    }
    FuzzCheck(n == records.size());
    std::free(buffer);
}

void CheckArticle(const std::string& text) {
    Diagnostics diag;
    std::vector<PackedRecord> records = ParseArticleSource(text, kFile, &diag);
    if (!diag.list.empty()) return;
    Bytes content = ArticleBytes(records);
    FuzzCheck(content.size() <= kMaxContentSize);
    CheckWalk(content, records);
    Diagnostics again;
    FuzzCheck(ArticleBytes(ParseArticleSource(DumpArticle(content), kFile, &again)) == content);
    FuzzCheck(again.list.empty());
}

void CheckIndex(const std::string& text) {
    Diagnostics diag;
    std::vector<IndexSourceEntry> entries = ParseIndexSource(text, kFile, &diag);
    if (!diag.list.empty()) return;
    Bytes content = IndexBytes(entries);
    FuzzCheck(content.size() <= kMaxContentSize);
    std::string dumped;
    FuzzCheck(DumpIndex(content, &dumped));
    Diagnostics again;
    FuzzCheck(IndexBytes(ParseIndexSource(dumped, kFile, &again)) == content);
    FuzzCheck(again.list.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    CheckArticle(text);
    CheckIndex(text);
    return 0;
}
