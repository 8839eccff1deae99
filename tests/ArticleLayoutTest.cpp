// Layout of articles into lines and rows, on the fake surface (8 px per character,
// cell height 16 for normal text, tmMaxCharWidth 10).
#include "ArticleFixture.h"
#include "views/LineTable.h"

namespace {

using LayoutTest = ArticleViewTest;

TEST_F(LayoutTest, WordsBreakAtSpacesAndAfterHyphens) {
    Open(80, 320);  // ten characters a line
    ASSERT_EQ(Layout({{0x81, 0, "hello world again"}, {0x81, 0, "self-evident truth"}}), kLayoutOk);
    ASSERT_EQ(view->lineCount, 6);
    EXPECT_EQ(Line(0).offset, Offset(0));
    EXPECT_EQ(Line(0).count, 5);
    EXPECT_EQ(Line(0).width, 40);
    EXPECT_EQ(Line(1).offset, Offset(0, 6));  // the breaking space is skipped
    EXPECT_EQ(Line(1).count, 5);
    EXPECT_EQ(Line(2).count, 5);
    EXPECT_EQ(Line(3).count, 5);  // "self-": the hyphen stays on the line
    EXPECT_EQ(Line(4).offset, Offset(1, 5));
    EXPECT_EQ(Line(4).count, 7);
    EXPECT_EQ(Line(5).count, 5);
}

TEST_F(LayoutTest, OnlyTheParagraphsLastLineKeepsTheBlankRow) {
    Open(80, 320);
    ASSERT_EQ(Layout({{0x81, 0, "hello world again"}, {0x81, 0, "end"}}), kLayoutOk);
    EXPECT_EQ(Line(0).style, 0x01);
    EXPECT_EQ(Line(1).style, 0x01);
    EXPECT_EQ(Line(2).style, 0x81);
    EXPECT_EQ(Line(3).style, 0x01);  // the article's last line loses its blank row
    EXPECT_EQ(Line(4).style, 0);     // terminator
    EXPECT_EQ(view->rowCount, 5);
}

TEST_F(LayoutTest, ABlankLineBitWithoutAStyleLeavesNoLineOfStyleZero) {
    // A corrupt article: 0x80 alone would leave its lines without 0x80 at style 0,
    // the table's terminator, hiding the rest from every walk of the table.
    Open(80, 320);
    ASSERT_EQ(Layout({{0x80, 0, "hello world again"}, {0x81, 0, "more"}, {0x80, 0, "end"}}), kLayoutOk);
    int walked = 0;
    for (const ArticleLine* line = view->lines; line->style; line++) walked++;
    EXPECT_EQ(walked, view->lineCount);
    EXPECT_EQ(view->lineCount, 5);
    EXPECT_EQ(Line(0).style, 0x01);
    EXPECT_EQ(Line(2).style, 0x81);
}

TEST_F(LayoutTest, LongWordsBreakWhereTheWidthEnds) {
    Open(80, 320);
    ASSERT_EQ(Layout({{0x01, 0, "abcdefghijklmnop"}}), kLayoutOk);
    ASSERT_EQ(view->lineCount, 2);
    EXPECT_EQ(Line(0).count, 10);
    EXPECT_EQ(Line(1).offset, Offset(0, 10));
    EXPECT_EQ(Line(1).count, 6);
}

TEST_F(LayoutTest, LeadingAndTrailingSpacesAreNotLines) {
    Open(80, 320);
    ASSERT_EQ(Layout({{0x81, 0, "   abc"}, {0x81, 0, "abcdefghij   "}, {0x81, 0, "x"}}), kLayoutOk);
    ASSERT_EQ(view->lineCount, 3);
    EXPECT_EQ(Line(0).offset, Offset(0, 3));
    EXPECT_EQ(Line(0).count, 3);
    EXPECT_EQ(Line(0).width, 24);
    // Only spaces remain after the break: the paragraph ends without its blank row.
    EXPECT_EQ(Line(1).count, 10);
    EXPECT_EQ(Line(1).style, 0x01);
    EXPECT_EQ(view->rowCount, 4);
}

TEST_F(LayoutTest, NothingFitsTakesOneCharacterALine) {
    Open(5, 320);
    ASSERT_EQ(Layout({{0x01, 0, "ab c"}}), kLayoutOk);
    ASSERT_EQ(view->lineCount, 3);
    EXPECT_EQ(Line(0).count, 1);
    EXPECT_EQ(Line(0).width, 8);
    EXPECT_EQ(Line(2).offset, Offset(0, 3));

    Open(12, 320);  // the hang leaves 2 px: the label stands alone, then a character a line
    ASSERT_EQ(Layout({{0x01, 0x40, "1. ab"}}), kLayoutOk);
    ASSERT_EQ(view->lineCount, 3);
    EXPECT_EQ(Line(0).count, 0);
    EXPECT_EQ(Line(0).hang, 10);
    EXPECT_EQ(Line(1).offset, Offset(0, 3));
    EXPECT_EQ(Line(1).count, 1);
    EXPECT_EQ(Line(1).x, 10);
}

TEST_F(LayoutTest, AlignmentAndIndent) {
    Open(200, 320, 10, 0);
    ASSERT_EQ(Layout({{0x21, 12, "right"}, {0x41, 12, "centre"}, {0x61, 12, "left"}, {0x01, 63, "x"}}), kLayoutOk);
    EXPECT_EQ(Line(0).x, 10 + 200 - 12 - 40);
    EXPECT_EQ(Line(1).x, 10 + 12 + (200 - 12 - 48) / 2);
    EXPECT_EQ(Line(2).x, 10 + 12);  // 0x60 is left-aligned
    EXPECT_EQ(Line(3).x, 10 + 63);

    Open(60, 320);  // an indent as wide as the view is dropped
    ASSERT_EQ(Layout({{0x01, 63, "x"}}), kLayoutOk);
    EXPECT_EQ(Line(0).x, 0);
}

TEST_F(LayoutTest, HangingLabelAndContinuationParagraphs) {
    Open(200, 320);
    std::string item = "1. " + std::string(22, 'a') + " " + std::string(5, 'b');
    ASSERT_EQ(Layout({{0x81, 0x4C, item}, {0x81, 0x4C, " more"}, {0x81, 0x40, " less"}, {0x81, 0x40, "2. next"}}),
              kLayoutOk);
    // Label at 12, text at 12 + 10 with 178 px: 22 characters.
    EXPECT_EQ(Line(0).offset, Offset(0));
    EXPECT_EQ(Line(0).hang, 10);
    EXPECT_EQ(Line(0).x, 22);
    EXPECT_EQ(Line(0).count, 22);
    EXPECT_EQ(Line(0).style, 0x01);
    EXPECT_EQ(Line(1).x, 22);
    EXPECT_EQ(Line(1).hang, 0);
    EXPECT_EQ(Line(1).offset, Offset(0, 26));
    // A hanging record starting with a space continues at the item's text column,
    // moved by the difference of the indents.
    EXPECT_EQ(Line(2).x, 22);
    EXPECT_EQ(Line(2).hang, 0);
    EXPECT_EQ(Line(2).offset, Offset(1, 1));
    EXPECT_EQ(Line(3).x, 10);
    EXPECT_EQ(Line(4).x, 10);
    EXPECT_EQ(Line(4).hang, 10);
}

TEST_F(LayoutTest, LeadingSpaceOnTheFirstRecordStillHangs) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x81, 0x40, "  1. item"}}), kLayoutOk);
    EXPECT_EQ(Line(0).offset, Offset(0, 2));
    EXPECT_EQ(Line(0).hang, 10);
    EXPECT_EQ(Line(0).x, 10);
    EXPECT_EQ(Line(0).count, 4);
}

TEST_F(LayoutTest, LabelWithoutTextIsALineOfItsOwn) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x81, 0x40, "1."}, {0x81, 0, "x"}}), kLayoutOk);
    EXPECT_EQ(Line(0).count, 0);
    EXPECT_EQ(Line(0).style, 0x81);
}

TEST_F(LayoutTest, RightToLeftLinesStartFromTheEndOfTheStoredText) {
    Open(80, 320);
    ASSERT_EQ(Layout({{0xB1, 0, "abc def ghi jkl"}}), kLayoutOk);
    ASSERT_EQ(view->lineCount, 2);
    EXPECT_EQ(Line(0).offset, Offset(0, 8));  // "ghi jkl"
    EXPECT_EQ(Line(0).count, 7);
    EXPECT_EQ(Line(0).x, 80 - 56);
    EXPECT_EQ(Line(1).offset, Offset(0, 0));  // "abc def"
    EXPECT_EQ(Line(1).count, 7);
}

TEST_F(LayoutTest, RightToLeftFitsWithTheMappedBase) {
    FakeMetrics metrics;
    metrics.advanceOf = [](WCHAR unit, int, int) { return unit >= 0x05D0 ? 20 : 8; };
    DeleteDC(dc);
    dc = CreateFakeDC(metrics);
    gApp.fontSettings.FontAsciiBase = 1488;
    Open(80, 320);
    ASSERT_EQ(Layout({{0xB1, 0, "ab cd"}}), kLayoutOk);
    EXPECT_EQ(Line(0).count, 2);  // "cd" (40 px); unmapped, all five would fit
    EXPECT_EQ(Line(0).width, 40);
    EXPECT_EQ(gMapping.base, kRestingBase);
}

TEST_F(LayoutTest, SeparatorWidths) {
    Open(200, 320, 5, 0);
    ASSERT_EQ(Layout({{0x07, 160, ""},
                      {0x07, 161, ""},
                      {0x07, 185, ""},
                      {0x07, 210, ""},
                      {0x07, 255, ""},
                      {0x47, 0xAC, ""},
                      {0xC7, 0xC5, ""},
                      {0x27, 0, ""},
                      {0x27, 40, ""}}),
              kLayoutOk);
    ASSERT_EQ(view->lineCount, 8);  // indent 0: no line
    int widths[] = {160, 4, 100, 200, 200, 48, 148, 40};
    for (int i = 0; i < 8; i++) EXPECT_EQ(Line(i).width, widths[i]) << i;
    EXPECT_EQ(Line(0).x, 5);
    EXPECT_EQ(Line(5).x, 5 + 76);
    EXPECT_EQ(Line(7).x, 5 + 160);
    EXPECT_EQ(Line(7).count, 0);
    EXPECT_EQ(Line(7).height, 16);
    EXPECT_EQ(view->rowCount, 9);  // one blank row after 0xC7

    Open(150, 320);
    ASSERT_EQ(Layout({{0x07, 160, ""}}), kLayoutOk);
    EXPECT_EQ(Line(0).width, 150);
}

TEST_F(LayoutTest, FontsFollowTheStyle) {
    Open(200, 320);
    ASSERT_EQ(Layout({{0x82, 0, "small"}, {0x07, 40, ""}, {0xCC, 0, "Heading"}, {0x01, 0, "x"}}), kLayoutOk);
    EXPECT_EQ(Line(0).height, 14);
    EXPECT_EQ(Line(1).height, 14);  // a rule takes the font in force
    EXPECT_EQ(Line(2).height, 20);
    EXPECT_EQ(Line(3).height, 16);
}

TEST_F(LayoutTest, MaximumTopRowLeavesTheLastRowAtTheBottom) {
    Open(200, 100);
    std::vector<TestRecord> records(10, TestRecord{0x81, 0, "line"});
    ASSERT_EQ(Layout(records), kLayoutOk);
    EXPECT_EQ(view->rowCount, 19);
    EXPECT_EQ(view->maxTopRow, 13);  // blank, line, blank, line, blank, line: 96 px

    ASSERT_EQ(Layout({{0x81, 0, "short"}, {0x81, 0, "article"}}), kLayoutOk);
    EXPECT_EQ(ComputeMaxTopRow(view), 0);
}

TEST_F(LayoutTest, TableGrowsInStepsAndStaysTerminated) {
    Open(200, 320);
    std::vector<TestRecord> records(300, TestRecord{0x01, 0, "x"});
    ASSERT_EQ(Layout(records), kLayoutOk);
    EXPECT_EQ(view->capacity, 100 + 2 * kLineTableGrowth);
    EXPECT_EQ(view->lineCount, 300);
    EXPECT_EQ(Line(299).offset, Offset(299));
    EXPECT_EQ(Line(300).style, 0);
}

TEST_F(LayoutTest, StatusesAndOwnership) {
    EXPECT_EQ(LayoutArticle(nullptr, nullptr, FALSE), -1);
    Open(200, 320);
    ASSERT_EQ(Layout({{0x81, 0, "one"}, {0x81, 0, "two"}}), kLayoutOk);
    BYTE* kept = view->article;
    view->hitStart = 3;
    view->hitEnd = 5;
    EXPECT_EQ(Layout({}), kLayoutMalformed);
    EXPECT_EQ(Layout({{0x81, 0, ""}, {0x81, 0, "two"}}), kLayoutMalformed);
    EXPECT_EQ(view->article, kept);
    EXPECT_EQ(view->lineCount, 2);
    EXPECT_EQ(view->rowCount, 0);
    EXPECT_EQ(view->maxTopRow, 0);
    EXPECT_EQ(view->hitStart, 0);
    EXPECT_EQ(view->hitEnd, 0);

    EXPECT_EQ(ResizeArticleView(view, 0, 100), -5);
    EXPECT_EQ(ResizeArticleView(view, 120, 100), kLayoutOk);  // lays out its own article again
    EXPECT_EQ(view->article, kept);
    EXPECT_EQ(view->lineCount, 2);

    EXPECT_EQ(LayoutArticle(view, nullptr, TRUE), kLayoutNothing);
    EXPECT_EQ(view->article, nullptr);

    ASSERT_EQ(Layout({{0xC7, 0, ""}}), kLayoutOk);  // a rule of no width: no lines at all
    EXPECT_EQ(view->lineCount, 0);
    EXPECT_EQ(view->rowCount, 0);
    EXPECT_EQ(ComputeMaxTopRow(view), -1);
}

// Arbitrary bytes as an article (with the zero tail every content buffer has):
// layout, painting, highlighting and the title box stay inside the buffer.
TEST_F(LayoutTest, ArbitraryBytesAreLaidOutAndPaintedSafely) {
    srand(7);
    for (int round = 0; round < 300; round++) {
        size_t size = 1 + rand() % 600;
        auto* article = (BYTE*)calloc(size + kContentZeroTail, 1);
        for (size_t i = 0; i < size; i++) article[i] = (BYTE)(rand() % 4 ? ' ' + rand() % 95 : rand() % 256);
        Open(1 + rand() % 300, 1 + rand() % 300);
        gApp.fontSettings.FontAsciiBase = round % 2 ? 1488 : 97;
        int status = LayoutArticle(view, article, TRUE);
        ASSERT_TRUE(status == kLayoutOk || status == kLayoutMalformed) << status;
        if (status != kLayoutOk) continue;
        view->topRow = (uint16_t)(rand() % 40);
        view->hitStart = (uint16_t)(rand() % size);
        view->hitEnd = (uint16_t)(view->hitStart + rand() % 50);
        EXPECT_EQ(PaintArticleView(view, TRUE), 0);
        DrawTitleBox(view);
        ScrollToOffset(view, rand() % size);
        EXPECT_LE(view->topRow, view->rowCount);
    }
}

}  // namespace
