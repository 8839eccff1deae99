// Every content resource built into the program decodes whole and walks cleanly.
#include <gtest/gtest.h>

#include <cstdlib>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/ResourceStore.h"
#include "platform/TestHooks.h"

namespace {

struct StoredResource {
    const BYTE* bytes;
    uint32_t size;
};

StoredResource FindStored(int number) {
    WORD id = (WORD)(number + kContentIdBase);
    HRSRC handle = FindResourceW(nullptr, MAKEINTRESOURCE(id), RT_RCDATA);
    if (!handle) return {nullptr, 0};
    return {(const BYTE*)LoadResource(nullptr, handle), SizeofResource(nullptr, handle)};
}

uint16_t Field(const BYTE* p, int offset) { return (uint16_t)(p[offset] << 8 | p[offset + 1]); }

// Decodes one stored resource and checks the container and the decoded bytes.
// Returns the buffer (the caller frees it) and its length.
BYTE* DecodeStored(int number, uint16_t* length) {
    StoredResource r = FindStored(number);
    EXPECT_NE(r.bytes, nullptr) << number;
    if (!r.bytes) return nullptr;
    uint16_t payload = Field(r.bytes, 0), compressed = Field(r.bytes, 6);
    EXPECT_EQ(payload, r.size - 6) << number;
    EXPECT_EQ(compressed, payload - 8) << number;
    *length = Field(r.bytes, 8);

    int status = 0;
    BYTE* content = LoadContent(number, &status);
    EXPECT_NE(content, nullptr) << number << " status " << status;
    if (!content) return nullptr;
    for (int i = 0; i < kContentZeroTail; i++) EXPECT_EQ(content[*length + i], 0) << number;

    // The stream is used to its last byte: one byte less no longer fills the output.
    CompressedBlock cut = {r.bytes + 10, (uint32_t)compressed - 1, *length};
    EXPECT_EQ(UnCompress(&cut, &status), nullptr) << number;
    return content;
}

class ContentCollectionTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptMessageBoxes({}); }
    void TearDown() override { StopMessageBoxScript(); }
};

TEST_F(ContentCollectionTest, EveryArticleDecodesAndEndsWithItsEndRecord) {
    for (int number = 1; number <= kArticleCount; number++) {
        uint16_t length = 0;
        BYTE* article = DecodeStored(number, &length);
        if (!article) continue;
        EXPECT_EQ(article[0], kTitleStyle) << number;
        ArticleWalker walker = StartArticleWalk(article);
        ArticleRecord record{};
        const BYTE* end = article;
        while (NextArticleRecord(&walker, &record)) end = record.text + record.textLength + 1;
        // Stored articles end with three zero bytes.
        EXPECT_EQ(end, article + length - 3) << number;
        std::free(article);
    }
}

TEST_F(ContentCollectionTest, IndexDecodesAndEndsWithItsEndRecord) {
    uint16_t length = 0;
    BYTE* index = DecodeStored(kIndexContentNumber, &length);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index[0], 0xFE);
    IndexWalker walker = StartIndexWalk(index);
    IndexEntry entry{};
    const BYTE* end = index;
    int links = 0;
    while (NextIndexEntry(&walker, &entry)) {
        end = entry.text + entry.textLength + 1;
        if (entry.key & 0x4000) links++;
    }
    EXPECT_EQ(end, index + length - 5);
    EXPECT_EQ(links, kArticleCount);
    std::free(index);
}

TEST_F(ContentCollectionTest, NoResourceBesideTheCollection) {
    int status = 0;
    EXPECT_EQ(LoadContent(kArticleCount + 1, &status), nullptr);
    EXPECT_EQ(status, kStatusNoResource);
}

}  // namespace
