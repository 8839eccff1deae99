// Arbitrary bytes through the loader and the decoder, then through both record
// walkers. Every successful decode is exactly U bytes plus the zero tail, allocated
// to the byte, so the sanitizer sees any walk that leaves the buffer.
#include <cstdlib>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/ResourceStore.h"
#include "platform/TestHooks.h"

namespace {

unsigned WalkBoth(const BYTE* buffer) {
    unsigned sum = 0;
    ArticleWalker articles = StartArticleWalk(buffer);
    ArticleRecord record;
    while (NextArticleRecord(&articles, &record)) sum += record.textLength + record.indent;
    IndexWalker index = StartIndexWalk(buffer);
    IndexEntry entry;
    while (NextIndexEntry(&index, &entry)) sum += entry.textLength + entry.key;
    ArticleHeaderEntry title, subtitle;
    ReadArticleHeader(buffer, &title, &subtitle);
    return sum + title.textLength + subtitle.textLength;
}

// A failed decode shows exactly one message when, and only when, its status is 5.
void Check(BYTE* buffer, int status, size_t uncompressed) {
    size_t messages = RecordedMessageBoxes().size();
    if (!buffer) {
        if ((status == kStatusBufferError) != (messages == 1) || messages > 1) std::abort();
        return;
    }
    if (messages != 0) std::abort();
    for (int i = 0; i < kContentZeroTail; i++)
        if (buffer[uncompressed + i] != 0) std::abort();
    volatile unsigned sink = WalkBoth(buffer);
    (void)sink;
    std::free(buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As a bare payload (resource offset 6 on).
    ScriptMessageBoxes({});
    int status = 0;
    BYTE* out = UnpackContent(data, (int)size, 0, &status);
    Check(out, status, size >= 4 ? (data[2] << 8 | data[3]) : 0);

    // As a whole resource served to the loader.
    ResourceEntry entry = {10, 1001, data, (uint32_t)size};
    ResourceTable table = {&entry, 1};
    SetOverrideResourceTable(&table);
    ScriptMessageBoxes({});
    status = 0;
    out = LoadContent(1, &status);
    Check(out, status, size >= 10 ? (data[8] << 8 | data[9]) : 0);
    SetOverrideResourceTable(nullptr);
    return 0;
}
