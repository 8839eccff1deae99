// Hebrew typed into search, and the highlight of every hit search shows, on the
// compiled-in collection.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ArticleFixture.h"
#include "content/ArticleRecords.h"
#include "shell/Search.h"

namespace {

class HebrewSearchText : public testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }

    // Typed -> stored -> shown at a base; returns what the box would show.
    std::u16string RoundTrip(int32_t base, const std::u16string& typed, const char* stored) {
        gApp.fontSettings.FontAsciiBase = base;
        SetSearchString(typed.c_str(), (int)typed.size());
        EXPECT_STREQ(gApp.searchString, stored);
        WCHAR shown[kSearchStringSize];
        EXPECT_EQ(ShownSearchString(shown), (int)strlen(stored));
        return shown;
    }
};

TEST_F(HebrewSearchText, HebrewLettersBecomeTheStoredLettersInDisplayOrder) {
    // Alef bet alef reads the same both ways; shalom ends with a final mem.
    EXPECT_EQ(RoundTrip(1488, u"אבא", "aba"), u"אבא");
    EXPECT_EQ(RoundTrip(1488, u"שלום", "nfmz"), u"שלום");
    EXPECT_TRUE(gApp.searchHebrew);
    // Brackets are mirrored and numbers keep their order, as the compiler stores them.
    EXPECT_EQ(RoundTrip(1488, u"(א) 3.5", "3.5 (a)"), u"(א) 3.5");
    // A literal brace is stored as '~'.
    EXPECT_EQ(RoundTrip(1488, u"}א", "a~"), u"}א");
}

TEST_F(HebrewSearchText, TheBoxShowsTheStoredStringAtTheCurrentBase) {
    // No mapping: the stored letters as they are, which store again unchanged.
    EXPECT_EQ(RoundTrip(97, u"שלום", "nfmz"), u"nfmz");
    EXPECT_EQ(RoundTrip(97, u"nfmz", "nfmz"), u"nfmz");
    EXPECT_FALSE(gApp.searchHebrew);
    // Base 224 shows letters as Latin-1 units in display order; typing those stores
    // the letters again.
    EXPECT_EQ(RoundTrip(224, u"שלום", "nfmz"), u"\u00ED\u00E5\u00EC\u00F9");
    EXPECT_EQ(RoundTrip(224, u"\u00ED\u00E5\u00EC\u00F9", "nfmz"), u"\u00ED\u00E5\u00EC\u00F9");
    // Stored Hebrew typed at one base reads as Hebrew at another.
    gApp.fontSettings.FontAsciiBase = 1488;
    WCHAR shown[kSearchStringSize];
    ShownSearchString(shown);
    EXPECT_EQ(std::u16string(shown), u"שלום");
}

TEST_F(HebrewSearchText, LatinTextStaysAsTypedAtEveryBase) {
    for (int32_t base : {97, 224, 1488}) {
        EXPECT_EQ(RoundTrip(base, u"The {x}", "The {x}"), u"The {x}");
        EXPECT_FALSE(gApp.searchHebrew);
    }
    // Beyond Latin-1 and outside the letters, a unit keeps its low byte.
    EXPECT_EQ(RoundTrip(1488, u"x\u05F0", "x\xF0"), u"x\u00F0");
}

TEST_F(HebrewSearchText, AHostileBaseNeitherOverflowsNorTakesOtherText) {
    EXPECT_EQ(RoundTrip(INT32_MAX, u"ab", "ab"), u"ab");
    EXPECT_EQ(RoundTrip(INT32_MIN, u"ab", "ab"), u"ab");
}

// Hits on the parts of a hanging first line outside its run's count.
class HangingHit : public ArticleViewTest {
  protected:
    std::u16string ShowHit(int start, int end) {
        view->topRow = 0;
        EXPECT_EQ(ScrollToOffset(view, start), 1);
        view->hitStart = (uint16_t)start;
        view->hitEnd = (uint16_t)end;
        ClearFakeRecord(dc);
        PaintArticleView(view, TRUE);
        std::u16string lit;
        for (const FakeCall& call : FakeCallsOf(dc, FakeCallKind::Text))
            if (call.backgroundColour == kYellow) lit += call.text;
        return lit;
    }
};

TEST_F(HangingHit, TheEndOfALeftToRightFirstLineAndAcrossItsBreak) {
    Open(120, 40);  // two rows: the item's first line is on the second page
    ASSERT_EQ(Layout({{0x81, 0, "one"}, {0x81, 0, "two"}, {0x81, 0x40, "12. item text goes on"}}), kLayoutOk);
    ASSERT_EQ(Line(2).count, 9);  // "item text"; "12. " before it is the label
    EXPECT_EQ(ShowHit(Offset(2, 9), Offset(2, 13)), u"text");
    EXPECT_EQ(view->topRow, view->maxTopRow);
    EXPECT_EQ(ShowHit(Offset(2, 9), Offset(2, 16)), u"textgo");
}

TEST_F(HangingHit, TheLabelOfARightToLeftFirstLine) {
    Open(200, 320);
    // Display order: the label stands at the end, after the run and its space.
    ASSERT_EQ(Layout({{0x91, 0x40, "abc \x95"}}), kLayoutOk);
    ASSERT_EQ(Line(0).count, 3);
    EXPECT_EQ(ShowHit(Offset(0, 4), Offset(0, 5)), u"\u0095");
}

// Search Again on the collection as it is compiled into the program.
class CollectionSearch : public ArticleViewTest {
  protected:
    void SetUp() override {
        ArticleViewTest::SetUp();
        gApp.Flags = kDefaultFlags;
        Open(240, 320);
        gApp.articleView = view;
    }
    void TearDown() override {
        gApp.articleView = nullptr;
        ArticleViewTest::TearDown();
    }

    void Show(int n) {
        gApp.currentArticle = (uint16_t)n;
        ASSERT_EQ(LayoutArticle(view, LoadContent(n, nullptr), TRUE), kLayoutOk);
        view->topRow = 0;
    }

    std::u16string Lit() {
        std::u16string lit;
        for (const FakeCall& call : FakeCallsOf(dc, FakeCallKind::Text))
            if (call.opaque && call.backgroundColour == kYellow && call.textColour == kBlue) lit += call.text;
        return lit;
    }
};

TEST_F(CollectionSearch, HebrewTypedAsHebrewFindsItsArticles) {
    gApp.fontSettings.FontAsciiBase = 1488;
    Show(33);
    SetSearchString(u"אבא", 3);
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(gApp.currentArticle, 34);
    EXPECT_EQ(Lit(), u"אבא");
    // A final letter stands first in display order.
    ClearFakeRecord(dc);
    SetSearchString(u"גשם", 3);
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(gApp.currentArticle, 36);
    EXPECT_EQ(Lit(), u"םשג");  // drawn in stored order, as the line is
}

// Every word on the first line of every list item: found from just before it, it is
// scrolled to and drawn in the hit colours. The hit is in the view's own article,
// so the line table stays as it was read.
TEST_F(CollectionSearch, EveryWordOfAHangingFirstLineIsHighlighted) {
    gApp.Flags |= kFlagMatchCase;
    int checked = 0;
    for (int n = 1; n <= kArticleCount; n++) {
        Show(n);
        for (int i = 0; i < view->lineCount; i++) {
            ArticleLine line = view->lines[i];
            if (!line.hang || (line.style & kStyleRtl)) continue;
            const char* text = (const char*)view->article + line.offset;
            int label = (int)strcspn(text, " ");
            int end = label + (int)strspn(text + label, " ") + line.count;
            for (int w = 0; w < end; w++) {
                if (text[w] == ' ' || (w > 0 && text[w - 1] != ' ')) continue;
                std::string word(text + w, std::min(strcspn(text + w, " "), (size_t)(end - w)));
                if (word.size() >= kSearchStringSize) continue;
                strcpy(gApp.searchString, word.c_str());
                view->hitStart = (uint16_t)(line.offset + w - 1);
                view->topRow = 0;
                ClearFakeRecord(dc);
                ASSERT_EQ(FindNext(nullptr), 1);
                ASSERT_EQ(view->hitStart, line.offset + w) << "article " << n << ": " << word;
                std::u16string lit = Lit();
                EXPECT_EQ(std::string(lit.begin(), lit.end()), word) << "article " << n << " line " << i;
                checked++;
            }
        }
    }
    EXPECT_GT(checked, 2000);
}

}  // namespace
