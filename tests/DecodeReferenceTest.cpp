// The decoder's fixed-width copies against the byte-at-a-time rules: every
// distance and length of back reference, runs near the stream's end, and hostile
// streams, each decoded both ways.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "ReferenceDecoder.h"
#include "content/Content.h"
#include "platform/TestHooks.h"

namespace {

using Bytes = std::vector<BYTE>;

// Decodes with both and expects the same outcome and the same bytes.
void ExpectAsReference(const Bytes& stream, uint32_t uncompressed) {
    Bytes expected(uncompressed);
    bool decodes = ReferenceDecode<true>(stream.data(), stream.data() + stream.size(), expected.data(),
                                         expected.data() + uncompressed);
    CompressedBlock block = {stream.data(), (uint32_t)stream.size(), uncompressed};
    BYTE* out = UnCompress(&block, nullptr);
    ASSERT_EQ(out != nullptr, decodes) << "stream of " << stream.size() << " bytes, U " << uncompressed;
    if (!out) return;
    EXPECT_EQ(Bytes(out, out + uncompressed), expected);
    for (int i = 0; i < kContentZeroTail; i++) EXPECT_EQ(out[uncompressed + i], 0);
    std::free(out);
}

Bytes Text(size_t length) {
    Bytes stream;
    for (size_t i = 0; i < length; i++) stream.push_back((BYTE)('A' + i % 23));
    return stream;
}

class DecodeReferenceTest : public ::testing::Test {
  protected:
    void SetUp() override { ScriptMessageBoxes({}); }
    void TearDown() override { StopMessageBoxScript(); }
};

TEST_F(DecodeReferenceTest, EveryDistanceAndLengthOfBackReference) {
    for (int distance = 1; distance <= 40; distance++) {
        for (int length = 3; length <= 10; length++) {
            Bytes stream = Text(40);
            stream.push_back((BYTE)(0x80 | distance >> 5));
            stream.push_back((BYTE)((distance & 31) << 3 | (length - 3)));
            stream.push_back('z');
            // Filled exactly, cut inside the copy, and followed by more output.
            for (uint32_t u : {40u + length, 40u + length / 2, 41u + length}) ExpectAsReference(stream, u);
        }
    }
}

TEST_F(DecodeReferenceTest, RunsAndPairsNearTheEndOfStreamAndOutput) {
    for (int n = 1; n <= 8; n++) {
        for (int given = 0; given <= n; given++) {
            Bytes stream = Text(3);
            stream.push_back((BYTE)n);
            Bytes tail = Text((size_t)given);
            stream.insert(stream.end(), tail.begin(), tail.end());
            for (uint32_t u = 3; u <= 3u + n + 1; u++) ExpectAsReference(stream, u);
        }
    }
    for (uint32_t u = 1; u <= 4; u++) ExpectAsReference({'a', 0xC1, 0xE2}, u);
}

TEST_F(DecodeReferenceTest, RandomStreamsValidOrNot) {
    std::mt19937 random(13);
    for (int i = 0; i < 3000; i++) {
        Bytes stream(1 + random() % 300);
        for (BYTE& b : stream) b = (BYTE)random();
        ExpectAsReference(stream, 1 + random() % 600);
    }
}

}  // namespace
