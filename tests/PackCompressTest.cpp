// The compressor's streams are valid, decode to their input and beat a greedy parse.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "content/Content.h"
#include "tools/Compress.h"

namespace {

// Walks a stream by the code rules and fails on anything a stored stream may not hold:
// a reference before the start of the output or a code cut short by the stream's end.
::testing::AssertionResult IsValidStream(const Bytes& stream, size_t outputSize) {
    size_t in = 0, out = 0;
    while (in < stream.size()) {
        uint8_t n = stream[in++];
        if (n >= 0x01 && n <= 0x08) {
            if (in + n > stream.size()) return ::testing::AssertionFailure() << "literal run past the end at " << in;
            in += n;
            out += n;
        } else if (n >= 0x80 && n <= 0xBF) {
            if (in >= stream.size()) return ::testing::AssertionFailure() << "reference cut short at " << in;
            uint8_t m = stream[in++];
            size_t distance = (size_t)(n & 0x3F) << 5 | m >> 3;
            if (distance < 1 || distance > out) return ::testing::AssertionFailure() << "distance " << distance << " at " << out;
            out += (m & 7) + 3;
        } else {
            out += n >= 0xC0 ? 2 : 1;
        }
    }
    if (out != outputSize) return ::testing::AssertionFailure() << "produces " << out << " bytes, not " << outputSize;
    return ::testing::AssertionSuccess();
}

void ExpectRoundTrip(const Bytes& input, const char* what) {
    Bytes stream = Compress(input);
    ASSERT_TRUE(IsValidStream(stream, input.size())) << what;
    EXPECT_LE(stream.size(), CompressGreedy(input).size()) << what;
    ASSERT_TRUE(IsValidStream(CompressGreedy(input), input.size())) << what;
    CompressedBlock block = {stream.data(), (uint32_t)stream.size(), (uint32_t)input.size()};
    int status = 0;
    BYTE* decoded = UnCompress(&block, &status);
    ASSERT_NE(decoded, nullptr) << what << " status " << status;
    EXPECT_EQ(memcmp(decoded, input.data(), input.size()), 0) << what;
    EXPECT_EQ(decoded[input.size()], 0) << what;
    free(decoded);
}

Bytes FromText(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(PackCompress, RandomInputsOfEveryByteValueDecode) {
    std::mt19937 rng(7);
    for (size_t size : {1, 2, 3, 9, 100, 4000, 65535}) {
        Bytes input(size);
        for (uint8_t& b : input) b = (uint8_t)rng();
        ExpectRoundTrip(input, "random bytes");
    }
}

TEST(PackCompress, RepetitiveInputsDecode) {
    ExpectRoundTrip(Bytes(65535, 'a'), "one byte repeated");
    ExpectRoundTrip(Bytes(5000, 0x95), "a byte that needs literal runs, repeated");
    Bytes pattern;
    for (int i = 0; i < 3000; i++) pattern.push_back((uint8_t)"ab\x01\x95 Zq"[i % 7]);
    ExpectRoundTrip(pattern, "short period");
    // Repeats just inside and just outside the 2047-byte window.
    std::mt19937 rng(11);
    Bytes block(2047);
    for (uint8_t& b : block) b = (uint8_t)(0x20 + rng() % 95);
    Bytes far = block;
    far.insert(far.end(), block.begin(), block.end());
    ExpectRoundTrip(far, "repeat at distance 2047");
    block.push_back('x');
    far = block;
    far.insert(far.end(), block.begin(), block.end());
    ExpectRoundTrip(far, "repeat at distance 2048");
}

TEST(PackCompress, TextUsesTheShortCodes) {
    Bytes text = FromText("A Tale Of Two Cities");
    ExpectRoundTrip(text, "text");
    // Every space before a capital joins it in one code: 20 bytes in 16 codes.
    EXPECT_EQ(Compress(text).size(), 16u);
    // A space that ends the input, or precedes a byte below 0x40, stands alone.
    ExpectRoundTrip(FromText("ends with a space "), "trailing space");
    ExpectRoundTrip(FromText(" 1 2 3"), "spaces before digits");
    // A NUL is an ordinary single code.
    Bytes records = {0xCC, 0x00, 'T', 0x00, 0x81, 0x40, 0x95, ' ', 'x', 0x00, 0, 0, 0};
    ExpectRoundTrip(records, "records");
}

TEST(PackCompress, OptimalParseBeatsGreedyWhereTheLongestMatchIsWrong) {
    // Greedy takes the 4-byte match at "bcde" and must then spell "fgh" out; the optimal
    // parse covers "b" and "cdefgh" with one code more but fewer bytes overall.
    Bytes input = FromText("bcde\x80\x81\x82\x83" "cdefgh\x80\x81\x82\x83" "bcdefgh");
    ExpectRoundTrip(input, "match choice");
    EXPECT_LT(Compress(input).size(), CompressGreedy(input).size());
}

}  // namespace
