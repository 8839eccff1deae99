// The reading column through the real window: lines held to the chosen measure and
// centred in wide windows, the whole width with Full Window; rows spaced 1, 1.2 and
// 1.5 with paging, pointing and the search hit following them; the choices kept in
// the settings, hostile values read as the defaults; the headless picture in the
// same column and margins as the window.
#include <QImage>
#include <climits>

#include "HeadlessCall.h"
#include "ShellFixture.h"
#include "content/ArticleRecords.h"
#include "reader/KeepPlace.h"
#include "reader/ReadingColumn.h"
#include "reader/SidePanel.h"
#include "resources/Commands.h"
#include "shell/Search.h"
#include "views/PageWalk.h"
#include "views/Palette.h"

namespace {

struct TextSpan {
    int left = INT_MAX, right = INT_MIN;  // of every text line, labels included
    double fullLineCharacters = 0;        // average over the plain lines a paragraph goes on from
};

TextSpan SpanOf(const ArticleView* view) {
    TextSpan span;
    int lines = 0, characters = 0;
    for (const ArticleLine* line = view->lines; line->style; line++) {
        if (IsSeparatorStyle(line->style)) continue;
        span.left = std::min(span.left, line->x - line->hang);
        span.right = std::max(span.right, line->x + line->width);
        bool goesOn = !(line->style & kStyleBlankAfter) && line[1].style == line->style;
        if ((line->style & kFontKeyMask) == kStylePlain && !line->hang && goesOn) {
            lines++;
            characters += line->count;
        }
    }
    span.fullLineCharacters = lines ? (double)characters / lines : 0;
    return span;
}

class ReadingColumnTest : public ReaderTest {
  protected:
    void Choose(UINT command) { Send(WM_COMMAND, command); }
    const QImage& Picture() { return WindowOf(window)->image; }
};

const UINT kWidthCommands[] = {kCmdColumnNarrow, kCmdColumnMedium, kCmdColumnWide, kCmdColumnFullWindow};

}  // namespace

TEST_F(ReadingColumnTest, EachWidthHoldsTheLinesToItsMeasureCentredAndFullWindowUsesTheWholeView) {
    ASSERT_NO_FATAL_FAILURE(StartOn(142, 1920, 1000));
    EXPECT_TRUE(Checked(kCmdColumnMedium, kCmdViewMenu));  // the default
    int previousWidth = 0;
    for (UINT command : kWidthCommands) {
        Choose(command);
        EXPECT_TRUE(Checked(command, kCmdViewMenu)) << command;
        const ArticleView* view = View();
        TextSpan span = SpanOf(view);
        int left = span.left - view->left, right = view->left + view->width - span.right;
        EXPECT_GT(span.right - span.left, previousWidth) << command;
        previousWidth = span.right - span.left;
        if (command == kCmdColumnFullWindow) {
            EXPECT_EQ(span.left, view->left);
            EXPECT_LT(right, view->width / 20);
            continue;
        }
        // Centred: the right margin is the left one and at most the ragged end of a line.
        EXPECT_GT(left, view->width / 10) << command;
        EXPECT_GE(right, left - 1) << command;
        EXPECT_LT(right - left, (span.right - span.left) / 8) << command;
        if (command == kCmdColumnMedium) {
            EXPECT_GE(span.fullLineCharacters, 70);
            EXPECT_LE(span.fullLineCharacters, 80);
        }
    }
    // A window narrower than every measure is all column, whatever the choice.
    SetClientSize(window, 240, 320);
    int full = SpanOf(View()).right;
    for (UINT command : kWidthCommands) {
        Choose(command);
        EXPECT_EQ(SpanOf(View()).right, full) << command;
    }
}

TEST_F(ReadingColumnTest, SpacingGrowsTheRowsAndPagingPointingAndTheSearchHitFollow) {
    ASSERT_NO_FATAL_FAILURE(StartOn(142, 800, 600));
    std::vector<int> cells;
    for (const ArticleLine* line = View()->lines; line->style; line++) cells.push_back(line->height);
    int rowsAtOne = 0;
    const struct {
        UINT command;
        int tenths;
    } spacings[] = {{kCmdLineSpacing10, 10}, {kCmdLineSpacing12, 12}, {kCmdLineSpacing15, 15}};
    for (const auto& s : spacings) {
        View()->topRow = 40;
        RepaintNow(window, kPaintAll);
        int place = PlaceOf(View());
        Choose(s.command);
        EXPECT_TRUE(Checked(s.command, kCmdViewMenu));
        ArticleView* view = View();
        EXPECT_EQ(FirstVisibleOffset(view), place) << "the place is kept by its text";
        for (int i = 0; i < view->lineCount; i++)
            ASSERT_EQ(view->lines[i].height, (cells[i] * s.tenths + 5) / 10) << "line " << i;
        if (s.tenths == 10) rowsAtOne = view->rowsPainted;
        EXPECT_LE(view->rowsPainted, rowsAtOne * 10 / s.tenths + 1);
        EXPECT_GE(view->rowsPainted, rowsAtOne * 10 / s.tenths - 2);

        // Page Down then Page Up, and End: whole rows of the spaced height.
        int top = view->topRow;
        Key(VK_NEXT);
        Key(VK_PRIOR);
        EXPECT_EQ(view->topRow, top);
        Key(VK_END);
        PageWalk walk = FirstVisibleLine(view);
        while (Fits(walk)) Advance(walk);
        EXPECT_FALSE(walk.line->style) << "the last page ends with the article";

        // A point in the middle of the third row shown falls on that row's line.
        view->topRow = 10;
        RepaintNow(window, kPaintAll);
        walk = FirstVisibleLine(view);
        for (int row = 0; row < 2;) row += Advance(walk);
        int offset = OffsetAtPoint(view, walk.line->x + 2, walk.y + walk.line->height / 2);
        EXPECT_GE(offset, walk.line->offset);
        EXPECT_LE(offset, ArticleLineEnd(view->article, *walk.line));

        // The search hit is shown, lit in the middle of its row as its text is drawn.
        const BYTE* word = MainRun(view->article, *walk.line);
        std::u16string text(word, word + WordLength(word));
        SetSearchString((const WCHAR*)text.c_str(), (int)text.size());
        view->topRow = 0;
        ASSERT_EQ(FindNext(window), 1) << "searching for a word of the article";
        int start = 0, end = 0;
        VisibleRange(view, &start, &end);
        EXPECT_GE(view->hitStart, start);
        EXPECT_LE(view->hitEnd, end);
        walk = FirstVisibleLine(view);
        while (Fits(walk) && ArticleLineEnd(view->article, *walk.line) < view->hitStart) Advance(walk);
        ASSERT_TRUE(Fits(walk));
        const ViewPalette& palette = ActivePalette();
        QRgb lit = qRgb(GetRValue(palette.hitBackground), GetGValue(palette.hitBackground),
                        GetBValue(palette.hitBackground));
        int litTop = INT_MAX, litBottom = INT_MIN;
        for (int y = walk.y; y < walk.y + walk.line->height; y++)
            for (int x = walk.line->x; x < walk.line->x + walk.line->width; x++)
                if (Picture().pixel(x, y) == lit) litTop = std::min(litTop, y), litBottom = std::max(litBottom, y);
        ASSERT_LE(litTop, litBottom) << s.tenths;
        EXPECT_LE(std::abs((litTop - walk.y) - (walk.y + walk.line->height - 1 - litBottom)), 1) << s.tenths;
    }
}

TEST_F(ReadingColumnTest, TheChoicesAreKeptAndHostileStoredValuesReadAsTheDefaults) {
    const struct {
        const char* stored;  // lines of the product key
        int width, spacing;
    } cases[] = {
        {"", kColumnMedium, 10},
        {"\"ColumnWidth\"=dword:0\n\"LineSpacing\"=dword:f\n", kColumnNarrow, 15},
        {"\"ColumnWidth\"=dword:3\n\"LineSpacing\"=dword:c\n", kColumnFullWindow, 12},
        {"\"ColumnWidth\"=\"2\"\n\"LineSpacing\"=\"15\"\n", kColumnWide, 15},
        {"\"ColumnWidth\"=dword:4\n\"LineSpacing\"=dword:b\n", kColumnMedium, 10},
        {"\"ColumnWidth\"=dword:ffffffff\n\"LineSpacing\"=dword:80000000\n", kColumnMedium, 10},
        {"\"ColumnWidth\"=dword:7fffffff\n\"LineSpacing\"=dword:0\n", kColumnMedium, 10},
        {"\"ColumnWidth\"=hex:ff\n\"LineSpacing\"=\"-15\"\n", kColumnMedium, 10},
    };
    for (const auto& c : cases) {
        config.WriteRegistryFile(std::string("[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n") + c.stored);
        gReadingColumn = {-1, -1};
        LoadReadingColumn();
        EXPECT_EQ(gReadingColumn.width, c.width) << c.stored;
        EXPECT_EQ(gReadingColumn.spacing, c.spacing) << c.stored;
    }
    // A choice made in the menu is written, and read back at the next start.
    config.WriteRegistryFile("");
    ASSERT_NO_FATAL_FAILURE(StartOn(1, 640, 480));
    Choose(kCmdColumnWide);
    Choose(kCmdLineSpacing15);
    SaveSettings();
    gReadingColumn = kDefaultReadingColumn;
    LoadReadingColumn();
    EXPECT_EQ(gReadingColumn.width, kColumnWide);
    EXPECT_EQ(gReadingColumn.spacing, 15);
}

// The picture and the window at the same size and settings: the article's first rows
// are the same pixels, at the same left margin, for a stored and a fitted gutter.
TEST_F(ReadingColumnTest, TheHeadlessPictureHasTheWindowsColumnAndMargins) {
    for (int gutter : {12, -1}) {
        SetUp();
        config.WriteRegistryFile("");
        SetProduct(u"ColumnWidth", REG_DWORD, DwordBytes(kColumnNarrow));
        SetProduct(u"LineSpacing", REG_DWORD, DwordBytes(15));
        if (gutter >= 0) SetValue(kVendorKey, u"SurroundingGutter", REG_DWORD, DwordBytes(gutter));
        std::string out = testing::TempDir() + "column.png";
        ASSERT_EQ(Velun({"--render", "142", "--size", "1280x700", "--out", out}), 0);
        QImage headless(QString::fromStdString(out));
        ResetAppState();
        gFittedGutter = gutter < 0;
        gApp.SurroundingGutter = std::max(gutter, 0);
        ASSERT_NO_FATAL_FAILURE(StartOn(142, 1280, 700));
        if (SidePanelShown()) ShowSidePanel(false);
        gArticleOverlay = nullptr;  // the window's links; the picture draws none
        View()->topRow = 0;
        RepaintNow(window, kPaintAll);
        const ArticleView* view = View();
        int g = view->left;

        int rows = view->height / 2;
        int differing = 0;
        for (int y = 0; y < rows; y++)
            for (int x = 0; x < 1280; x++)
                differing += Picture().pixel(x, view->top + y) != headless.pixel(x, g + y);
        EXPECT_EQ(differing, 0) << "gutter " << gutter;
        EXPECT_GT(SpanOf(view).left - g, 200) << "the narrow column is centred";
        TearDown();
    }
}
