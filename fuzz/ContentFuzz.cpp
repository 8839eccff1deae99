// Arbitrary bytes through the loader and the decoder, then through both record
// walkers. Every decode must agree with the plain byte-at-a-time decoder; a
// successful one is copied into a buffer of exactly U bytes plus the zero tail, so
// the sanitizer sees any walk that leaves it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/ResourceStore.h"
#include "platform/TestHooks.h"
#include "tests/ReferenceDecoder.h"

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

// The stream a payload holds, cut at the payload's end as the loader cuts it; an
// unusable header gives no stream.
bool ReferenceOfPayload(const uint8_t* payload, size_t size, std::vector<BYTE>* out) {
    if (size < 5) return false;
    size_t compressed = (size_t)(payload[0] << 8 | payload[1]);
    size_t uncompressed = (size_t)(payload[2] << 8 | payload[3]);
    if (compressed == 0 || uncompressed == 0) return false;
    const BYTE* in = payload + 4;
    out->assign(uncompressed, 0);
    return ReferenceDecode<true>(in, in + std::min(compressed, size - 4), out->data(), out->data() + uncompressed);
}

// A failed decode shows exactly one message when, and only when, its status is 5.
void Check(BYTE* buffer, int status, const uint8_t* payload, size_t size) {
    std::vector<BYTE> expected;
    bool decodes = ReferenceOfPayload(payload, size, &expected);
    size_t messages = RecordedMessageBoxes().size();
    if (decodes != (buffer != nullptr)) std::abort();
    if (!buffer) {
        if ((status == kStatusBufferError) != (messages == 1) || messages > 1) std::abort();
        return;
    }
    if (messages != 0 || std::memcmp(buffer, expected.data(), expected.size()) != 0) std::abort();
    for (int i = 0; i < kContentZeroTail; i++)
        if (buffer[expected.size() + i] != 0) std::abort();
    BYTE* exact = (BYTE*)std::malloc(expected.size() + kContentZeroTail);
    std::memcpy(exact, buffer, expected.size() + kContentZeroTail);
    std::free(buffer);
    volatile unsigned sink = WalkBoth(exact);
    (void)sink;
    std::free(exact);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As a bare payload (resource offset 6 on).
    ScriptMessageBoxes({});
    int status = 0;
    BYTE* out = UnpackContent(data, (int)size, 0, &status);
    Check(out, status, data, size);

    // As a whole resource served to the loader.
    ResourceEntry entry = {10, 1001, data, (uint32_t)size};
    ResourceTable table = {&entry, 1};
    SetOverrideResourceTable(&table);
    ScriptMessageBoxes({});
    status = 0;
    out = LoadContent(1, &status);
    size_t payload = size < 6 ? 0 : std::min<size_t>((size_t)(data[0] << 8 | data[1]), size - 6);
    Check(out, status, data + std::min<size_t>(size, 6), payload);
    SetOverrideResourceTable(nullptr);
    return 0;
}
