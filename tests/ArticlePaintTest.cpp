// Painting, highlighting, scrolling and the title box on the fake surface.
#include "ArticleFixture.h"

namespace {

class PaintTest : public ArticleViewTest {
  protected:
    std::vector<FakeCall> Runs() { return FakeCallsOf(dc, FakeCallKind::Text); }
    std::vector<FakeCall> Highlights() {
        std::vector<FakeCall> lit;
        for (const FakeCall& run : Runs())
            if (run.backgroundColour == kYellow) lit.push_back(run);
        return lit;
    }
    // Ten one-line paragraphs with blank rows: 19 rows, maximum top row 13 at height 100.
    void LayoutTenLines() {
        Open(200, 100);
        std::vector<TestRecord> records;
        for (int i = 0; i < 10; i++) records.push_back({0x81, 0, "line" + std::to_string(i)});
        ASSERT_EQ(Layout(records), kLayoutOk);
        ASSERT_EQ(view->maxTopRow, 13);
    }
};

TEST_F(PaintTest, OnlyWholeRowsAreDrawn) {
    Open(200, 40, 0, 10);
    ASSERT_EQ(Layout({{0x01, 0, "one"}, {0x01, 0, "two"}, {0x01, 0, "three"}}), kLayoutOk);
    EXPECT_EQ(PaintArticleView(view, TRUE), 0);
    auto fills = FakeCallsOf(dc, FakeCallKind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect.bottom, 50);
    EXPECT_EQ(fills[0].brushStock, WHITE_BRUSH);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 2u);  // "three" would need 16 px of the 8 left
    EXPECT_EQ(runs[0].text, u"one");
    EXPECT_EQ(runs[0].y, 10);
    EXPECT_EQ(runs[1].y, 26);
    EXPECT_EQ(view->rowsPainted, 2);
}

TEST_F(PaintTest, ShortArticlePaintsEveryRow) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0xCC, 0, "Title"}, {0x81, 0, "text"}}), kLayoutOk);
    PaintArticleView(view, FALSE);
    EXPECT_EQ(view->rowsPainted, view->rowCount);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].textColour, kBlue);  // large bold heading
    EXPECT_EQ(runs[0].fontHeight, 20);
    EXPECT_EQ(runs[1].textColour, kBlack);
    EXPECT_EQ(runs[1].y, 40);  // after the heading's blank row
    EXPECT_TRUE(FakeCallsOf(dc, FakeCallKind::Fill).empty());
}

TEST_F(PaintTest, TopRowOnABlankRowStartsOneRowLower) {
    LayoutTenLines();
    view->topRow = 1;
    PaintArticleView(view, TRUE);
    auto runs = Runs();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs[0].text, u"line1");
    EXPECT_EQ(runs[0].y, 16);
}

TEST_F(PaintTest, TopRowBeyondTheArticleBecomesTheMaximum) {
    LayoutTenLines();
    view->topRow = 40;
    PaintArticleView(view, TRUE);
    EXPECT_EQ(view->topRow, 13);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs.back().text, u"line9");
    EXPECT_EQ(runs.back().y, 80);
}

TEST_F(PaintTest, SeparatorIsAOnePixelRuleAcrossTheMiddle) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x01, 0, "x"}, {0x47, 0xC5, ""}}), kLayoutOk);
    PaintArticleView(view, FALSE);
    auto rules = FakeCallsOf(dc, FakeCallKind::Rectangle);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].rect.left, 26);
    EXPECT_EQ(rules[0].rect.top, 16 + 8);
    EXPECT_EQ(rules[0].rect.right, 26 + 148);
    EXPECT_EQ(rules[0].rect.bottom, 16 + 9);
    EXPECT_EQ(rules[0].brushStock, BLACK_BRUSH);
}

TEST_F(PaintTest, HangingLabelSitsLeftOfTheText) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x81, 0x4C, "\x95 item text"}, {0x81, 0x40, "12. x"}}), kLayoutOk);
    PaintArticleView(view, FALSE);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, u"\u0095");
    EXPECT_EQ(runs[0].x, 12);
    EXPECT_EQ(runs[1].text, u"item text");
    EXPECT_EQ(runs[1].x, 22);
    EXPECT_EQ(runs[2].text, u"1");  // the label is cut to the hanging width
}

TEST_F(PaintTest, RightToLeftRunsAreDrawnInStoredOrderWithTheBase) {
    gApp.fontSettings.FontAsciiBase = 1488;
    Open(80, 320);
    ASSERT_EQ(Layout({{0xB1, 0, "abc def ghi jkl"}}), kLayoutOk);
    PaintArticleView(view, FALSE);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    std::u16string ghi = {0x05D6, 0x05D7, 0x05D8, u' ', 0x05D9, 0x05DA, 0x05DB};
    EXPECT_EQ(runs[0].text, ghi);
    EXPECT_EQ(runs[0].x, 24);
    EXPECT_EQ(runs[1].text[0], 0x05D0);
    EXPECT_EQ(gMapping.base, kRestingBase);
}

TEST_F(PaintTest, HitAcrossTwoLines) {
    Open(80, 320);
    ASSERT_EQ(Layout({{0x01, 0, "hello world again"}}), kLayoutOk);
    view->hitStart = (uint16_t)Offset(0, 3);  // "lo" + "wor"
    view->hitEnd = (uint16_t)Offset(0, 9);
    EXPECT_EQ(PaintArticleView(view, TRUE), 0);
    auto lit = Highlights();
    ASSERT_EQ(lit.size(), 2u);
    EXPECT_EQ(lit[0].text, u"lo");
    EXPECT_EQ(lit[0].x, 24);
    EXPECT_EQ(lit[0].textColour, kBlue);
    EXPECT_EQ(lit[1].text, u"wor");
    EXPECT_EQ(lit[1].x, 0);
    EXPECT_EQ(lit[1].y, 16);
}

TEST_F(PaintTest, HitInsideALeftToRightLabel) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x81, 0x40, "12. item"}}), kLayoutOk);
    view->hitStart = (uint16_t)Offset(0, 1);
    view->hitEnd = (uint16_t)Offset(0, 2);
    PaintArticleView(view, FALSE);
    auto lit = Highlights();
    ASSERT_EQ(lit.size(), 1u);
    EXPECT_EQ(lit[0].text, u"2");
    EXPECT_EQ(lit[0].x, 8);  // label at 0, shifted by one character
}

TEST_F(PaintTest, AnyHitOnARightToLeftHangingLineLightsItsWholeLabel) {
    Open(200, 320);
    // Stored in display order: the label stands at the end.
    ASSERT_EQ(Layout({{0x91, 0x40, "abc \x95"}}), kLayoutOk);
    ASSERT_EQ(Line(0).count, 3);
    view->hitStart = (uint16_t)Offset(0, 1);
    view->hitEnd = (uint16_t)Offset(0, 2);
    PaintArticleView(view, FALSE);
    auto lit = Highlights();
    ASSERT_EQ(lit.size(), 2u);
    EXPECT_EQ(lit[0].text, u"\u0095");
    EXPECT_EQ(lit[0].x, Line(0).x + Line(0).width + 10 - 8);
    EXPECT_EQ(lit[1].text, u"b");
}

TEST_F(PaintTest, NoPaintWithoutArticle) {
    Open(200, 320);
    EXPECT_EQ(PaintArticleView(view, TRUE), -1);
    EXPECT_EQ(PaintArticleView(nullptr, TRUE), -1);
    EXPECT_TRUE(FakeRecord(dc).empty());
}

TEST_F(PaintTest, ScrollingClampsAtBothEnds) {
    LayoutTenLines();
    ClearFakeRecord(dc);
    EXPECT_EQ(ScrollArticleView(view, -5, 1, 1), 1);  // already at the start: nothing painted
    EXPECT_TRUE(FakeRecord(dc).empty());
    view->topRow = 12;
    EXPECT_EQ(ScrollArticleView(view, 6, 1, 1), 0);  // one page from below the maximum lands beyond it
    EXPECT_EQ(view->topRow, 18);
    EXPECT_EQ(ScrollArticleView(view, 6, 1, 1), 1);  // and the next page is refused
    EXPECT_EQ(view->topRow, 18);
    EXPECT_EQ(ScrollArticleView(view, -100, 0, 1), 3);
    EXPECT_EQ(view->topRow, 0);
    EXPECT_EQ(ScrollArticleView(view, 30, 0, 0), 3);  // past the end without clamping: the maximum
    EXPECT_EQ(view->topRow, 13);
    EXPECT_EQ(ScrollArticleView(nullptr, 1, 0, 0), -1);
}

TEST_F(PaintTest, ScrollToOffset) {
    LayoutTenLines();
    EXPECT_EQ(ScrollToOffset(view, Offset(3, 2)), 1);
    EXPECT_EQ(view->topRow, 6);
    EXPECT_EQ(ScrollToOffset(view, Offset(9, 5)), 1);  // on the last page: the maximum, not row 18
    EXPECT_EQ(view->topRow, 13);
    EXPECT_EQ(ScrollToOffset(view, 1), 0);
    EXPECT_EQ(view->topRow, 13);
}

TEST_F(PaintTest, HitTestAllowsTheGutterExceptBelow) {
    Open(100, 50, 20, 30);
    gApp.SurroundingGutter = 5;
    EXPECT_TRUE(HitTestView(view, 15, 25));
    EXPECT_TRUE(HitTestView(view, 125, 80));
    EXPECT_FALSE(HitTestView(view, 14, 40));
    EXPECT_FALSE(HitTestView(view, 126, 40));
    EXPECT_FALSE(HitTestView(view, 50, 24));
    EXPECT_FALSE(HitTestView(view, 50, 81));
}

TEST_F(PaintTest, TitleBoxGeometry) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0xCC, 0, "Title"}, {0xC1, 0, "Sub"}, {0x81, 0, "text"}}), kLayoutOk);
    DrawTitleBox(view);
    auto frames = FakeCallsOf(dc, FakeCallKind::Rectangle);
    ASSERT_EQ(frames.size(), 5u);
    // Small font: 14 px rows; box 40 + 2 * 14 + 8 = 76 wide, two rows of text.
    EXPECT_EQ(frames[0].rect.left, 62);
    EXPECT_EQ(frames[0].rect.top, 320 - 28 - 12);
    EXPECT_EQ(frames[0].rect.right, 138);
    EXPECT_EQ(frames[0].rect.bottom, 318);
    COLORREF colours[] = {kRed, kRed, kWhite, kBlue, kBlue};
    for (int i = 0; i < 5; i++) EXPECT_EQ(frames[i].penColour, colours[i]) << i;
    EXPECT_EQ(frames[4].rect.left, 66);
    auto fills = FakeCallsOf(dc, FakeCallKind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect.left, 67);
    EXPECT_EQ(fills[0].rect.top, 285);
    EXPECT_EQ(fills[0].brushColour, kYellow);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, u"Title");
    EXPECT_EQ(runs[0].x, 67 + (66 - 40) / 2);
    EXPECT_EQ(runs[0].y, 285);
    EXPECT_EQ(runs[0].textColour, kRed);
    EXPECT_EQ(runs[0].backgroundColour, kYellow);
    EXPECT_EQ(runs[1].x, 67 + (66 - 24) / 2);
    EXPECT_EQ(runs[1].y, 299);
}

TEST_F(PaintTest, TitleBoxWithALongTitleOnly) {
    Open(100, 320);
    ASSERT_EQ(Layout({{0xCC, 0, std::string(20, 'T')}, {0x81, 0, "text"}}), kLayoutOk);
    DrawTitleBox(view);
    auto frames = FakeCallsOf(dc, FakeCallKind::Rectangle);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[0].rect.left, 0);  // as wide as the view
    EXPECT_EQ(frames[0].rect.right, 100);
    EXPECT_EQ(frames[0].rect.top, 320 - 14 - 12);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text.size(), 12u);  // cut to what fits the view width
    EXPECT_EQ(runs[0].x, 5 + (90 - 96) / 2);
}

TEST_F(PaintTest, NewFontsLayOutAgainAndRepaint) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x81, 0, "one"}, {0x82, 0, "two"}}), kLayoutOk);
    FontSettings bigger = {};
    bigger.size = 24;
    EXPECT_EQ(SetViewFonts(view, &bigger), 0);
    EXPECT_EQ(Line(0).height, 24);
    EXPECT_EQ(Line(1).height, 18);
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].fontHeight, 18);
    EXPECT_EQ(runs[1].y, 48);
}

}  // namespace
