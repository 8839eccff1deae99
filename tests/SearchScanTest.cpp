// Searching the real collection finds what a plain scan finds, in the same order:
// every place of each pattern, record by record, article after article, with and
// without Match Case.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ArticleFixture.h"
#include "content/ArticleRecords.h"
#include "platform/TestHooks.h"
#include "shell/Search.h"

namespace {

// Byte equality as the search states it: A-Z and a-z equal without Match Case.
bool PlainSame(char a, char b, bool matchCase) {
    if (a == b) return true;
    if (matchCase) return false;
    return (a >= 'A' && a <= 'Z' && b == a + 0x20) || (b >= 'A' && b <= 'Z' && a == b + 0x20);
}

// Every place, overlapping ones too, where pattern matches inside one record.
std::vector<int> PlainHits(const BYTE* article, const std::string& pattern, bool matchCase) {
    std::vector<int> hits;
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record;
    while (NextArticleRecord(&walker, &record)) {
        for (size_t q = 0; q + pattern.size() <= record.textLength; q++) {
            size_t k = 0;
            while (k < pattern.size() && PlainSame((char)record.text[q + k], pattern[k], matchCase)) k++;
            if (k == pattern.size()) hits.push_back((int)(record.text - article + q));
        }
    }
    return hits;
}

const std::vector<std::string> kPatterns = {"the", "The", "THE", "e", "Qu", "ing ", "a.", "  ", "zzq", "\x95",
                                            "mm", "aba", "1", "xY", "({", "tion of the"};

class SearchScanTest : public ArticleViewTest {
  protected:
    void SetUp() override {
        ArticleViewTest::SetUp();
        ScriptMessageBoxes({});
    }
    void TearDown() override {
        gApp.articleView = nullptr;
        StopMessageBoxScript();
        ArticleViewTest::TearDown();
    }
};

TEST_F(SearchScanTest, EveryArticleGivesThePlainScansHitsInOrder) {
    for (bool matchCase : {true, false}) {
        gApp.Flags = matchCase ? kDefaultFlags | kFlagMatchCase : kDefaultFlags & ~kFlagMatchCase;
        for (const std::string& pattern : kPatterns) {
            strcpy(gApp.searchString, pattern.c_str());
            for (int n = 1; n <= kArticleCount; n++) {
                const BYTE* article = SearchableArticle(n);
                ASSERT_NE(article, nullptr);
                std::vector<int> found;
                for (int hit = FindInArticle(article, 0); hit; hit = FindInArticle(article, hit + 1))
                    found.push_back(hit);
                ASSERT_EQ(found, PlainHits(article, pattern, matchCase))
                    << "'" << pattern << "' in article " << n << (matchCase ? " with" : " without") << " case";
            }
        }
    }
}

// Search Again from article 1: its hits, then those of the articles after it.
TEST_F(SearchScanTest, SearchAgainVisitsTheHitsArticleAfterArticle) {
    Open(240, 320);
    gApp.articleView = view;
    for (bool matchCase : {true, false}) {
        gApp.Flags = matchCase ? kDefaultFlags | kFlagMatchCase : kDefaultFlags & ~kFlagMatchCase;
        // A pattern with hits in several articles, few enough to go all the way round.
        std::vector<std::pair<int, int>> expected;
        for (const char* pattern : {"Qu", "xY", "mm", "aba", "tion of the", "The"}) {
            strcpy(gApp.searchString, pattern);
            expected.clear();
            for (int n = 1; n <= kArticleCount; n++) {
                for (int hit : PlainHits(SearchableArticle(n), pattern, matchCase)) expected.push_back({n, hit});
            }
            if (expected.size() > 3 && expected.size() < 70 && expected.back().first != expected[0].first) break;
        }
        ASSERT_GT(expected.size(), 3u);
        gApp.currentArticle = 1;
        LayoutArticle(view, LoadContent(1, nullptr), TRUE);
        // Round the whole collection and on into the first article again.
        size_t steps = std::min<size_t>(expected.size() + 2, 80);
        for (size_t i = 0; i < steps; i++) {
            ASSERT_EQ(FindNext(nullptr), 1);
            std::pair<int, int> want = expected[i % expected.size()];
            ASSERT_EQ(std::make_pair((int)gApp.currentArticle, (int)view->hitStart), want) << "step " << i;
        }
    }
}

}  // namespace
