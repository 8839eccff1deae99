// The rules of a search beside its bytes, over the compiled-in collection: Hebrew
// found as Hebrew at a Hebrew base, final letters and marks folded without Match
// Case, Whole Word, and the contexts Find All shows for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ArticleFixture.h"
#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/Utf16.h"
#include "reader/FindAll.h"
#include "reader/SearchRules.h"
#include "shell/Search.h"

namespace {

struct Found {
    int article, offset;
    bool rtl;
    std::u16string context;
};

bool RecordIsRtl(int article, int offset) {
    std::unique_ptr<BYTE, decltype(&free)> text(LoadContent(article, nullptr), free);
    ArticleWalker walker = StartArticleWalk(text.get());
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        int start = (int)(record.text - text.get());
        if (offset >= start && offset < start + (int)record.textLength) return record.style & kStyleRtl;
    }
    return false;
}

void Keep(const FoundHit& hit, void* context) {
    ((std::vector<Found>*)context)->push_back({hit.article, hit.offset, false, hit.context});
}

class SearchRules : public ReaderViewTest {
  protected:
    void TearDown() override {
        SetWholeWordSearch(false);
        ReaderViewTest::TearDown();
    }
    std::vector<Found> Search(int32_t base, const std::u16string& query, bool matchCase = false, bool whole = false) {
        gApp.fontSettings.FontAsciiBase = base;
        gApp.Flags = matchCase ? kDefaultFlags | kFlagMatchCase : kDefaultFlags & ~kFlagMatchCase;
        SetWholeWordSearch(whole);
        SetSearchString(query.c_str(), (int)query.size());
        std::vector<Found> hits;
        FindAllHits(Keep, &hits);
        for (Found& hit : hits) hit.rtl = RecordIsRtl(hit.article, hit.offset);
        return hits;
    }
    static int Count(const std::vector<Found>& hits, bool rtl) {
        return (int)std::count_if(hits.begin(), hits.end(), [&](const Found& h) { return h.rtl == rtl; });
    }
};

TEST_F(SearchRules, AtAHebrewBaseEachScriptFindsOnlyItsOwnRecords) {
    struct Case {
        int32_t base;
        std::u16string query;
        bool hebrewOnly, latinOnly;
    };
    const Case cases[] = {
        {1488, u"אבא", true, false}, {224, u"אבא", true, false},   {1488, u"aba", false, true},
        {224, u"the", false, true},  {1488, u"אלף", true, false}, {97, u"אבא", false, false},
    };
    for (const Case& c : cases) {
        std::vector<Found> hits = Search(c.base, c.query);
        SCOPED_TRACE(Utf16ToUtf8(c.query.c_str()) + " at " + std::to_string(c.base));
        ASSERT_FALSE(hits.empty());
        // Base 97 matches bytes as before: Hebrew letters find Latin text too.
        EXPECT_EQ(Count(hits, false) == 0, c.hebrewOnly);
        EXPECT_EQ(Count(hits, true) == 0, c.latinOnly);
    }
    // The first Hebrew query of the issue: 22 hits at base 97, of which 3 Hebrew.
    EXPECT_EQ(Search(97, u"אבא").size(), 22u);
    EXPECT_EQ(Search(1488, u"אבא").size(), 3u);
}

TEST_F(SearchRules, WithoutMatchCaseFinalLettersAndMarksFold) {
    // With Match Case a word ends in a final mem, or goes on with an ordinary one;
    // without it both are found by either form, niqqud and cantillation ignored.
    size_t final = Search(1488, u"שלום", true).size(), ordinary = Search(1488, u"שלומ", true).size();
    ASSERT_GT(final, 0u);
    ASSERT_GT(ordinary, 0u);
    for (const std::u16string& query : {u"שלום", u"שלומ", u"שָׁלוֹם", u"ש\u0591לום"}) {
        SCOPED_TRACE(Utf16ToUtf8(query.c_str()));
        EXPECT_EQ(Search(1488, query).size(), final + ordinary);
    }
    EXPECT_EQ(Search(1488, u"שָׁלוֹם", true).size(), 0u);  // Match Case reads the marks
}

TEST_F(SearchRules, WholeWordTakesOnlyMatchesStandingAlone) {
    std::vector<Found> all = Search(97, u"the"), words = Search(97, u"the", false, true);
    ASSERT_GT(words.size(), 1000u);
    EXPECT_LT(words.size(), all.size());
    for (const Found& hit : words) {
        size_t open = hit.context.find(u'«'), close = hit.context.find(u'»');
        ASSERT_NE(open, std::u16string::npos);
        auto letter = [](char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
        EXPECT_FALSE(open > 0 && letter(hit.context[open - 1])) << Utf16ToUtf8(hit.context.c_str());
        EXPECT_FALSE(close + 1 < hit.context.size() && letter(hit.context[close + 1]));
    }
    // A Hebrew word inside a longer one is left out too.
    EXPECT_LT(Search(1488, u"אב", false, true).size(), Search(1488, u"אב").size());
}

TEST_F(SearchRules, ContextsShowWindowsBytesAsTheirCharacters) {
    int bullets = 0;
    for (const Found& hit : Search(97, u"Nabataean")) {
        EXPECT_EQ(hit.context.find(u'\u0095'), std::u16string::npos);
        bullets += hit.context.find(u'\u2022') != std::u16string::npos;  // the list bullet
    }
    EXPECT_GT(bullets, 0);
}

TEST_F(SearchRules, EveryQueryAtEveryBaseEndsCleanly) {
    const std::u16string queries[] = {u"",  u"e", std::u16string(33, u'e'), std::u16string(60, u'x'), u"a\nb",
                                      u"e\u0301", u"\xD800x", u"\xDC00", u"ךםןףץ", u"\u05C7\u0591"};
    for (int32_t base : {97, 224, 1488, 0, INT32_MAX})
        for (const std::u16string& query : queries)
            for (bool whole : {false, true}) {
                std::vector<Found> hits = Search(base, query, false, whole);
                EXPECT_LE(std::strlen(gApp.searchString), 33u);
            }
}

}  // namespace
