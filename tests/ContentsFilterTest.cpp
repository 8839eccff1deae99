// The Contents filter's matching, and the stored list of opened headings, on
// ordinary and hostile input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "reader/ContentsFilter.h"
#include "reader/OpenedHeadings.h"

namespace {

bool Matches(const std::u16string& typed, const char* caption, int number) {
    ContentsFilter filter;
    CompileFilter(typed.data(), (int)typed.size(), &filter);
    return CaptionMatches(filter, (const BYTE*)caption, (int)std::strlen(caption), number);
}

TEST(ContentsFilter, MatchesTheStartOfAnyWordOrOfTheNumberCaseBlind) {
    const struct {
        const char16_t* typed;
        const char* caption;
        int number;
        bool matches;
    } cases[] = {
        {u"", "Anything", 1, true},
        {u"   ", "Anything", 1, true},
        {u"tal", "Before writing: tallies and tokens", 2, true},
        {u"TOK BEF", "Before writing: tallies and tokens", 2, true},  // any order
        {u"allies", "Before writing: tallies and tokens", 2, false},  // not a word's start
        {u"writing:", "Before writing: tallies and tokens", 2, true},
        {u"1", "Zero", 187, true},
        {u"87", "Zero", 187, false},
        {u"zero 18", "Zero", 187, true},
        {u"zero 19", "Zero", 187, false},
        {u"\u05D0", "a", 1, false},  // a Hebrew letter never matches the Latin byte storing it
        {u"e\u0301", "e", 1, false},
        {u"\xD800", "x", 1, false},
        {u"\xDFFF\xD800", "x", 1, false},
        {u"a\nb", "a b", 1, true},
    };
    for (const auto& c : cases) EXPECT_EQ(Matches(c.typed, c.caption, c.number), c.matches) << c.caption;
}

TEST(ContentsFilter, TooManyOrTooLongWordsMatchNothingWithoutOverflow) {
    std::u16string many;
    for (int i = 0; i <= kFilterWords; i++) many += u"a ";
    EXPECT_FALSE(Matches(many, "a", 1));
    EXPECT_FALSE(Matches(std::u16string(kFilterWordUnits + 1, u'a'), std::string(200, 'a').c_str(), 1));
    EXPECT_TRUE(Matches(std::u16string(kFilterWordUnits, u'a'), std::string(200, 'a').c_str(), 1));
    EXPECT_FALSE(Matches(std::u16string(100000, u'\xD800'), "x", 1));
}

TEST(OpenedHeadings, TheStoredListKeepsHeadingKeysOnceAndRoundTrips) {
    const struct {
        std::vector<BYTE> bytes;
        std::vector<uint16_t> keys;
    } cases[] = {
        {{0x00, 0x00}, {}},
        {{0xFE, 0xBF, 0x77, 0x88}, {0xBFFE, 0x8877}},
        {{0xFE, 0xBF, 0x05, 0x40, 0x00, 0x00, 0xFE, 0xBF, 0x01}, {0xBFFE}},  // links, zeros, repeats, an odd byte
    };
    for (const auto& c : cases) {
        OpenedHeadings list;
        ReadOpenedHeadings(c.bytes.data(), (DWORD)c.bytes.size(), &list);
        EXPECT_TRUE(list.known);
        EXPECT_EQ(std::vector<uint16_t>(list.keys, list.keys + list.count), c.keys);
        BYTE out[2 * kMaxOpenedHeadings];
        DWORD size = StoreOpenedHeadings(list, out);
        OpenedHeadings again;
        ReadOpenedHeadings(out, size, &again);
        EXPECT_EQ(std::vector<uint16_t>(again.keys, again.keys + again.count), c.keys);
    }
    std::vector<BYTE> huge;
    for (int k = 0; k < 70000; k++) huge.push_back((BYTE)k), huge.push_back((BYTE)(0x80 | (k >> 8)));
    OpenedHeadings list;
    ReadOpenedHeadings(huge.data(), (DWORD)huge.size(), &list);
    EXPECT_EQ(list.count, kMaxOpenedHeadings);
    ReadOpenedHeadings(nullptr, 0, &list);
    EXPECT_FALSE(list.known);  // no value: the tree opens as its data says
}

}  // namespace
