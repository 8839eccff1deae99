// Loading and decoding content resources, and walking the decoded records.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/ResourceStore.h"
#include "platform/TestHooks.h"

namespace {

using Bytes = std::vector<BYTE>;

// A content resource as the collection compiler lays it out.
Bytes MakeResource(const Bytes& stream, uint16_t uncompressed, uint16_t number = 1) {
    uint16_t payload = (uint16_t)(stream.size() + 8);
    Bytes r = {BYTE(payload >> 8),     BYTE(payload),           BYTE(number >> 8),
               BYTE(number),           BYTE(number >> 8),       BYTE(number),
               BYTE(stream.size() >> 8), BYTE(stream.size()),   BYTE(uncompressed >> 8),
               BYTE(uncompressed)};
    r.insert(r.end(), stream.begin(), stream.end());
    r.insert(r.end(), 4, 0);
    return r;
}

std::string AsText(const BYTE* p, size_t n) { return std::string((const char*)p, n); }

class ContentTest : public ::testing::Test {
protected:
    void SetUp() override { ScriptMessageBoxes({}); }
    void TearDown() override {
        SetOverrideResourceTable(nullptr);
        StopMessageBoxScript();
    }

    // Serves the given resources as RT_RCDATA under the given identifiers.
    void Serve(std::vector<std::pair<uint16_t, Bytes>> resources) {
        held = std::move(resources);
        entries.clear();
        for (auto& [id, bytes] : held) entries.push_back({10, id, bytes.data(), (uint32_t)bytes.size()});
        table = {entries.data(), (uint32_t)entries.size()};
        SetOverrideResourceTable(&table);
    }

    // Decodes a bare stream; checks the zero tail whenever it succeeds.
    BYTE* Decode(const Bytes& stream, uint32_t uncompressed, int* status) {
        CompressedBlock block = {stream.data(), (uint32_t)stream.size(), uncompressed};
        BYTE* out = UnCompress(&block, status);
        if (out) {
            for (int i = 0; i < kContentZeroTail; i++) EXPECT_EQ(out[uncompressed + i], 0) << i;
        }
        return out;
    }

    std::string DecodeText(const Bytes& stream, uint32_t uncompressed) {
        int status = 0;
        BYTE* out = Decode(stream, uncompressed, &status);
        EXPECT_NE(out, nullptr) << "status " << status;
        std::string text = out ? AsText(out, uncompressed) : "";
        std::free(out);
        return text;
    }

    void ExpectBufferError(const Bytes& stream, uint32_t uncompressed) {
        int status = 0;
        EXPECT_EQ(Decode(stream, uncompressed, &status), nullptr);
        EXPECT_EQ(status, kStatusBufferError);
        ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
        const MessageBoxCall& call = RecordedMessageBoxes()[0];
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.text, u"UnCompress() buffer error!");
        EXPECT_FALSE(call.hasCaption);
        EXPECT_EQ(call.style, 0u);
        ScriptMessageBoxes({});
    }

    std::vector<std::pair<uint16_t, Bytes>> held;
    std::vector<ResourceEntry> entries;
    ResourceTable table{};
};

TEST_F(ContentTest, NumbersBelowOneStoreNoStatusAndShowNothing) {
    for (int number : {0, -1, -1000, INT32_MIN}) {
        int status = 77;
        EXPECT_EQ(LoadContent(number, &status), nullptr);
        EXPECT_EQ(status, 77);
    }
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(ContentTest, LoaderStatuses) {
    Bytes good = MakeResource({'a', 'b'}, 2);
    Bytes shortPayload = good;
    shortPayload[1] = 4;  // L = 4
    Bytes noStream = MakeResource({}, 2);  // K = 0
    Bytes empty = MakeResource({'a'}, 0);  // U = 0
    Serve({{1001, good}, {1002, shortPayload}, {1003, noStream}, {1004, empty}, {1005, {}}});

    auto statusOf = [](int number) {
        int status = 0;
        BYTE* out = LoadContent(number, &status);
        std::free(out);
        return out ? 0 : status;
    };
    EXPECT_EQ(statusOf(1), 0);
    EXPECT_EQ(statusOf(188), kStatusNoResource);
    EXPECT_EQ(statusOf(2), kStatusBadHeader);
    EXPECT_EQ(statusOf(3), kStatusBadHeader);
    EXPECT_EQ(statusOf(4), kStatusNoBlock);
    EXPECT_EQ(statusOf(5), kStatusLoadFailed);  // size 0
    EXPECT_EQ(LoadContent(2, nullptr), nullptr);
    EXPECT_TRUE(RecordedMessageBoxes().empty());

    int status = 0;
    EXPECT_EQ(UnpackContent(good.data() + 6, 10, -1, &status), nullptr);
    EXPECT_EQ(status, kStatusBadHeader);
    EXPECT_EQ(UnCompress(nullptr, &status), nullptr);
    EXPECT_EQ(status, kStatusNoBlock);
    CompressedBlock noSource = {nullptr, 4, 4};
    status = 0;
    EXPECT_EQ(UnCompress(&noSource, &status), nullptr);
    EXPECT_EQ(status, kStatusNoBlock);
}

TEST_F(ContentTest, IdentifierIsNumberPlus1000In16Bits) {
    Serve({{1001, MakeResource({'o', 'n', 'e'}, 3)}, {32767, MakeResource({'i', 'x'}, 2, 1)}});
    BYTE* index = LoadContent(kIndexContentNumber, nullptr);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(AsText(index, 3), std::string("ix\0", 3));
    std::free(index);
    BYTE* wrapped = LoadContent(65536 + 1, nullptr);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(AsText(wrapped, 3), "one");
    std::free(wrapped);
}

TEST_F(ContentTest, EveryKindOfCode) {
    // Literal run, single bytes (NUL among them), back reference, space-plus-letter.
    Bytes stream = {0x03, 'a', 'b', 'c', 0x00, 'x', 0x80, 0x20, 0xE5, 0xC1};
    // The reference (D = 4, N = 3) copies "bc\0" from four bytes back.
    EXPECT_EQ(DecodeText(stream, 12), std::string("abc\0xbc\0 e A", 12));
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(ContentTest, ShortDistanceRepeats) {
    // D = 1, N = 10: ten copies of the previous byte.
    EXPECT_EQ(DecodeText({'z', 0x80, 0x0F}, 11), "zzzzzzzzzzz");
    // D = 2, N = 5 repeats the last two bytes.
    EXPECT_EQ(DecodeText({'a', 'b', 0x80, 0x12}, 7), "abababa");
    // The longest distance reaches the first byte of a 2047-byte window.
    Bytes far = {'q'};
    far.insert(far.end(), 2046, '.');
    far.insert(far.end(), {0xBF, 0xF8});
    std::string text = DecodeText(far, 2050);
    EXPECT_EQ(text.substr(2047), "q..");
}

TEST_F(ContentTest, OutputEndTruncatesEveryCode) {
    EXPECT_EQ(DecodeText({'a', 0x04, 'b', 'c', 'd', 'e'}, 3), "abc");
    EXPECT_EQ(DecodeText({'a', 0x80, 0x0F}, 4), "aaaa");
    // The space is the last output byte: the letter is dropped.
    EXPECT_EQ(DecodeText({'a', 'b', 0xC1}, 3), "ab ");
    // Source bytes left over once the output is full are ignored, even broken ones.
    EXPECT_EQ(DecodeText({'a', 'b', 'c', 0x80, 0x00, 0x08}, 3), "abc");
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(ContentTest, ShortStreamFailsWithMessage) {
    ExpectBufferError({'a', 'b', 'c'}, 4);
    ExpectBufferError({0x02, 'a', 'b', 0xC1}, 5);
    // Through the loader, with and without a status location.
    Serve({{1007, MakeResource({'a', 'b'}, 3)}});
    int status = 0;
    EXPECT_EQ(LoadContent(7, &status), nullptr);
    EXPECT_EQ(status, kStatusBufferError);
    EXPECT_EQ(LoadContent(7, nullptr), nullptr);
    EXPECT_EQ(RecordedMessageBoxes().size(), 2u);
}

TEST_F(ContentTest, HostileStreamsAreRejected) {
    ExpectBufferError({'a', 0x80, 0x00}, 4);        // D = 0
    ExpectBufferError({'a', 'b', 0x80, 0x18}, 6);   // D = 3 with two bytes produced
    ExpectBufferError({0xBF, 0xFF}, 10);            // reference before any output
    ExpectBufferError({'a', 0x04, 'b', 'c'}, 3);    // literal run past the stream
    ExpectBufferError({'a', 'b', 0x80}, 5);         // second reference byte missing
}

TEST_F(ContentTest, LengthFieldsNeverReachPastTheResource) {
    // K claims more bytes than the payload holds: the stream ends at the payload.
    Bytes payload = {0x00, 0x40, 0x00, 0x03, 'a', 'b', 'c'};
    BYTE* out = UnpackContent(payload.data(), (int)payload.size(), 0, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(AsText(out, 3), "abc");
    std::free(out);
    Bytes cut = {0x00, 0x40, 0x00, 0x05, 'a', 'b', 'c'};
    EXPECT_EQ(UnpackContent(cut.data(), (int)cut.size(), 0, nullptr), nullptr);
    EXPECT_EQ(RecordedMessageBoxes().size(), 1u);

    // L claims more than the resource holds; a resource shorter than its header.
    Bytes resource = MakeResource({'a', 'b'}, 3);
    resource.resize(12);  // header and the stream, no trailer
    resource[0] = 0xFF;
    Serve({{1009, resource}, {1010, {0x00}}, {1011, {0x00, 0x20, 0x00}}});
    int status = 0;
    EXPECT_EQ(LoadContent(9, &status), nullptr);
    EXPECT_EQ(status, kStatusBufferError);
    EXPECT_EQ(LoadContent(10, &status), nullptr);
    EXPECT_EQ(status, kStatusBadHeader);
    EXPECT_EQ(LoadContent(11, &status), nullptr);
    EXPECT_EQ(status, kStatusBadHeader);
}

// --- Records ---

// Appends an article record.
void AddRecord(Bytes& b, BYTE style, BYTE indent, const std::string& text) {
    b.push_back(style);
    b.push_back(indent);
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
}

// A content buffer as the loader makes it: the bytes, then the zero tail.
Bytes WithTail(Bytes b) {
    b.insert(b.end(), kContentZeroTail, 0);
    return b;
}

std::vector<std::string> WalkTexts(const Bytes& buffer) {
    std::vector<std::string> texts;
    ArticleWalker walker = StartArticleWalk(buffer.data());
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        EXPECT_GE(record.text, buffer.data());
        EXPECT_LE(record.text + record.textLength, buffer.data() + buffer.size() - 1);
        texts.push_back(std::to_string(record.style) + ":" + std::to_string(record.indent) + ":" +
                        AsText(record.text, record.textLength));
    }
    EXPECT_EQ(walker.next, nullptr);
    EXPECT_FALSE(NextArticleRecord(&walker, &record));
    return texts;
}

TEST(ArticleWalkTest, StopsAtTheFirstStyleZero) {
    Bytes b;
    AddRecord(b, 0xCC, 0x00, "Title");
    AddRecord(b, 0xC7, 0x00, "");
    AddRecord(b, 0x81, 0x40, "1. item");
    AddRecord(b, 0x00, 0x00, "");
    AddRecord(b, 0x81, 0x00, "after the end");
    std::vector<std::string> expected = {"204:0:Title", "199:0:", "129:64:1. item"};
    EXPECT_EQ(WalkTexts(WithTail(b)), expected);
    ArticleWalker none = StartArticleWalk(nullptr);
    ArticleRecord record;
    EXPECT_FALSE(NextArticleRecord(&none, &record));
}

TEST(ArticleWalkTest, MalformedEndsStayInsideTheBuffer) {
    // No end record: the last text runs into the NUL behind the content.
    Bytes b;
    AddRecord(b, 0x81, 0x00, "one");
    b.insert(b.end(), {0x81, 0x00, 't', 'w', 'o'});
    EXPECT_EQ(WalkTexts(WithTail(b)).back(), "129:0:two");
    // The style byte is the last content byte; the indent byte is the last one.
    Bytes styleLast = {0xCC};
    EXPECT_EQ(WalkTexts(WithTail(styleLast)), std::vector<std::string>{"204:0:"});
    Bytes indentLast = {0x81, 0x05};
    EXPECT_EQ(WalkTexts(WithTail(indentLast)), std::vector<std::string>{"129:5:"});
}

TEST(IndexWalkTest, ReadsKeysAndStopsInsideTheBuffer) {
    Bytes b = {0xFE, 0xBF, 0x8C, 0x01, 'H', 0, 0x05, 0x40, 0x01, 0x02, 'L', 'k', 0, 0, 0, 0, 0, 0};
    IndexWalker walker = StartIndexWalk(b.data());
    IndexEntry entry;
    ASSERT_TRUE(NextIndexEntry(&walker, &entry));
    EXPECT_EQ(entry.key, 0xBFFE);
    EXPECT_EQ(entry.level, 1);
    ASSERT_TRUE(NextIndexEntry(&walker, &entry));
    EXPECT_EQ(entry.key, 0x4005);
    EXPECT_EQ(entry.style, 0x01);
    EXPECT_EQ(AsText(entry.text, entry.textLength), "Lk");
    EXPECT_FALSE(NextIndexEntry(&walker, &entry));

    // Malformed ends: the style byte is the last content byte, or a key is cut.
    for (Bytes cut : {Bytes{0x01, 0x40, 0x81}, Bytes{0x01, 0x40, 0x81, 0x02}, Bytes{0x01}}) {
        Bytes padded = WithTail(cut);
        IndexWalker w = StartIndexWalk(padded.data());
        int count = 0;
        while (NextIndexEntry(&w, &entry)) {
            EXPECT_LE(entry.text + entry.textLength, padded.data() + padded.size() - 1);
            count++;
        }
        EXPECT_EQ(count, cut.size() >= 3 ? 1 : 0);
    }
}

TEST(ArticleHeaderTest, TitleAndSubtitle) {
    Bytes b;
    AddRecord(b, 0xDC, 0x00, "Heading");
    AddRecord(b, 0xD1, 0x00, "Sub");
    AddRecord(b, 0x81, 0x00, "Body");
    b = WithTail(b);
    ArticleHeaderEntry title, subtitle;
    title.width = subtitle.width = 99;
    ReadArticleHeader(b.data(), &title, &subtitle);
    EXPECT_EQ(title.style, 0xDC);
    EXPECT_EQ(title.textLength, 7u);
    EXPECT_EQ(title.text, b.data() + 2);
    EXPECT_EQ(title.width, 0u);
    EXPECT_EQ(subtitle.style, 0xD1);
    EXPECT_EQ(AsText(subtitle.text, subtitle.textLength), "Sub");
    EXPECT_EQ(subtitle.width, 0u);

    // Without a title descriptor the subtitle is still the second record.
    ReadArticleHeader(b.data(), nullptr, &subtitle);
    EXPECT_EQ(subtitle.style, 0xD1);
}

TEST(ArticleHeaderTest, OnlyTheFirstTwoRecordsCount) {
    ArticleHeaderEntry title, subtitle;
    Bytes plainFirst;
    AddRecord(plainFirst, 0x81, 0x00, "Body");
    AddRecord(plainFirst, 0xC1, 0x00, "Not a subtitle");
    plainFirst = WithTail(plainFirst);
    ReadArticleHeader(plainFirst.data(), &title, &subtitle);
    EXPECT_EQ(title.text, nullptr);
    EXPECT_EQ(subtitle.text, nullptr);
    EXPECT_EQ(subtitle.style, 0);

    Bytes subtitleFirst;
    AddRecord(subtitleFirst, 0xC1, 0x00, "Sub");
    subtitleFirst = WithTail(subtitleFirst);
    ReadArticleHeader(subtitleFirst.data(), &title, &subtitle);
    EXPECT_EQ(title.textLength, 0u);
    EXPECT_EQ(subtitle.style, 0xC1);
    EXPECT_EQ(subtitle.textLength, 3u);

    // Near misses of the exact style bytes, and a title alone.
    Bytes nearMiss;
    AddRecord(nearMiss, 0x4C, 0x00, "Bold centred");
    AddRecord(nearMiss, 0xC1, 0x00, "Sub");
    nearMiss = WithTail(nearMiss);
    ReadArticleHeader(nearMiss.data(), &title, &subtitle);
    EXPECT_EQ(title.text, nullptr);
    EXPECT_EQ(subtitle.text, nullptr);
    Bytes titleOnly;
    AddRecord(titleOnly, 0xCC, 0x00, "T");
    titleOnly = WithTail(titleOnly);
    ReadArticleHeader(titleOnly.data(), &title, &subtitle);
    EXPECT_EQ(title.textLength, 1u);
    EXPECT_EQ(subtitle.text, nullptr);
    ReadArticleHeader(nullptr, &title, &subtitle);
    EXPECT_EQ(title.text, nullptr);
}

}  // namespace
