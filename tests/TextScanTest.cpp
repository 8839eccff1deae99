// The block scan against a plain byte-by-byte search: every text length and hit
// place around the block edges, patterns longer than a block, both case rules.
// Each text sits in a buffer of exactly its bytes and NUL, so that a read past
// it is caught under AddressSanitizer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "shell/TextScan.h"

namespace {

bool SameByteAs(char a, char p, bool matchCase) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 0x20) : c; };
    return matchCase ? a == p : fold(a) == fold(p);
}

std::vector<size_t> PlainHits(const std::string& text, const std::string& pattern, bool matchCase) {
    std::vector<size_t> hits;
    for (size_t at = 0; pattern.size() && at + pattern.size() <= text.size(); at++) {
        size_t i = 0;
        while (i < pattern.size() && SameByteAs(text[at + i], pattern[i], matchCase)) i++;
        if (i == pattern.size()) hits.push_back(at);
    }
    return hits;
}

std::vector<size_t> ScannedHits(const std::string& text, const std::string& pattern, bool matchCase) {
    std::unique_ptr<char[]> exact(new char[text.size() + 1]);
    std::memcpy(exact.get(), text.c_str(), text.size() + 1);
    TextPattern made = MakeTextPattern(pattern.c_str(), matchCase);
    TextScan scan = StartTextScan(made, exact.get(), text.size());
    std::vector<size_t> hits;
    while (const char* hit = NextTextHit(&scan)) hits.push_back((size_t)(hit - exact.get()));
    return hits;
}

// Letters of both cases, their neighbours and a high byte, so that hits are many
// and near misses more.
std::string RandomText(std::mt19937& random, size_t length) {
    static const char kBytes[] = "aAbB@[`{\xC1\xE1 ";
    std::string text;
    for (size_t i = 0; i < length; i++) text += kBytes[random() % (sizeof kBytes - 1)];
    return text;
}

TEST(TextScanTest, FindsWhatAPlainSearchFindsAtEveryLengthAndPlace) {
    std::mt19937 random(7);
    for (size_t length = 0; length <= 80; length++) {
        for (size_t n : {1, 2, 3, 5, 16, 17, 18, 33}) {
            std::string text = RandomText(random, length);
            // A pattern taken from the text (so it hits) and one made up.
            std::string pattern = length >= n ? text.substr(random() % (length - n + 1), n) : RandomText(random, n);
            for (bool matchCase : {false, true}) {
                SCOPED_TRACE(testing::Message() << "length " << length << " pattern " << n << " case " << matchCase);
                EXPECT_EQ(ScannedHits(text, pattern, matchCase), PlainHits(text, pattern, matchCase));
            }
        }
    }
}

TEST(TextScanTest, HitsAtTheBlockEdgesAndTheEnd) {
    for (size_t place : {0, 14, 15, 16, 17, 31, 32, 45}) {
        std::string text(48, 'x');
        text.replace(place, 3, "ThE");
        EXPECT_EQ(ScannedHits(text, "the", false), std::vector<size_t>{place});
        EXPECT_TRUE(ScannedHits(text, "the", true).empty());
    }
    EXPECT_EQ(ScannedHits("aaaa", "aa", true), (std::vector<size_t>{0, 1, 2}));  // overlapping
    EXPECT_TRUE(ScannedHits("", "a", false).empty());
    EXPECT_TRUE(ScannedHits("abc", "", false).empty());
    EXPECT_TRUE(ScannedHits("ab", "abc", false).empty());
}

}  // namespace
