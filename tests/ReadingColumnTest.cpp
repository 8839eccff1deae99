// The reading column through the real window: lines held to the chosen measure and
// centred, the whole view with Full Window; spaced rows; hostile stored values read
// as the defaults; and the headless picture in the window's column and margins.
#include <QImage>
#include <climits>

#include "HeadlessCall.h"
#include "ShellFixture.h"
#include "content/ArticleRecords.h"
#include "reader/KeepPlace.h"
#include "reader/ReadingColumn.h"
#include "reader/SidePanel.h"
#include "shell/Search.h"
#include "views/PageWalk.h"
#include "views/Palette.h"

namespace {

// The left and right ends of the text lines, and the characters of an average plain
// line that its paragraph goes on from.
struct TextSpan {
    int left = INT_MAX, right = INT_MIN, characters = 0, lines = 0;
};

TextSpan SpanOf(const ArticleView* view) {
    TextSpan span;
    for (const ArticleLine* line = view->lines; line->style; line++) {
        if (IsSeparatorStyle(line->style)) continue;
        span.left = std::min(span.left, line->x - line->hang);
        span.right = std::max(span.right, line->x + line->width);
        if (line->style == kStylePlain && !line->hang && line[1].style == line->style)
            span.characters += line->count, span.lines++;
    }
    return span;
}

using ReadingColumnTest = ReaderTest;

}  // namespace

TEST_F(ReadingColumnTest, EachWidthHoldsTheLinesToItsMeasureCentredAndFullWindowUsesTheWholeView) {
    ASSERT_NO_FATAL_FAILURE(StartOn(142, 1920, 1000));
    EXPECT_TRUE(Checked(kCmdColumnMedium, kCmdViewMenu));  // the default
    int previous = 0;
    for (UINT command : {kCmdColumnNarrow, kCmdColumnMedium, kCmdColumnWide, kCmdColumnFullWindow}) {
        Send(WM_COMMAND, command);
        EXPECT_TRUE(Checked(command, kCmdViewMenu)) << command;
        const ArticleView* view = View();
        TextSpan span = SpanOf(view);
        int left = span.left - view->left, right = view->left + view->width - span.right;
        EXPECT_GT(span.right - span.left, previous) << command;
        previous = span.right - span.left;
        if (command == kCmdColumnFullWindow) {
            EXPECT_EQ(left, 0);
        } else {  // centred: the right margin is the left one and a line's ragged end
            EXPECT_GT(left, view->width / 10) << command;
            EXPECT_GE(right, left - 1) << command;
            EXPECT_LT(right - left, previous / 8) << command;
        }
        if (command == kCmdColumnMedium) {
            EXPECT_NEAR(span.characters / span.lines, 75, 5);
        }
    }
}

// Rows grow with the spacing, and the search hit is lit in the middle of its row,
// where its text is drawn.
TEST_F(ReadingColumnTest, SpacedRowsKeepThePlaceAndTheSearchHitIsLitWhereItsTextStands) {
    ASSERT_NO_FATAL_FAILURE(StartOn(142, 800, 600));
    std::vector<int> cells;
    for (const ArticleLine* line = View()->lines; line->style; line++) cells.push_back(line->height);
    for (auto [command, tenths] : {std::pair{kCmdLineSpacing12, 12}, {kCmdLineSpacing15, 15}}) {
        ArticleView* view = View();
        view->topRow = 40;
        int place = PlaceOf(view);
        Send(WM_COMMAND, command);
        EXPECT_EQ(FirstVisibleOffset(view), place);
        for (int i = 0; i < view->lineCount; i++) ASSERT_EQ(view->lines[i].height, (cells[i] * tenths + 5) / 10);
        PageWalk walk = FirstVisibleLine(view);
        Advance(walk);
        const BYTE* word = MainRun(view->article, *walk.line);
        std::u16string text(word, word + WordLength(word));
        SetSearchString((const WCHAR*)text.c_str(), (int)text.size());
        view->topRow = 0;
        ASSERT_EQ(FindNext(window), 1);
        walk = FirstVisibleLine(view);
        while (Fits(walk) && ArticleLineEnd(view->article, *walk.line) < view->hitStart) Advance(walk);
        ASSERT_TRUE(Fits(walk)) << "the hit is on the page";
        COLORREF hit = ActivePalette().hitBackground;
        int top = INT_MAX, bottom = INT_MIN;
        for (int y = walk.y; y < walk.y + walk.line->height; y++)
            for (int x = walk.line->x; x < walk.line->x + walk.line->width; x++)
                if (WindowOf(window)->image.pixel(x, y) == qRgb(GetRValue(hit), GetGValue(hit), GetBValue(hit)))
                    top = std::min(top, y), bottom = std::max(bottom, y);
        EXPECT_NEAR(top - walk.y, walk.y + walk.line->height - 1 - bottom, 1) << tenths;
    }
}

TEST_F(ReadingColumnTest, StoredChoicesAreReadBackAndHostileOnesGiveTheDefaults) {
    const struct {
        const char* stored;
        int width, spacing;
    } cases[] = {
        {"", kColumnMedium, 10},
        {"\"ColumnWidth\"=dword:0\n\"LineSpacing\"=dword:f\n", kColumnNarrow, 15},
        {"\"ColumnWidth\"=\"3\"\n\"LineSpacing\"=\"12\"\n", kColumnFullWindow, 12},
        {"\"ColumnWidth\"=dword:ffffffff\n\"LineSpacing\"=dword:80000000\n", kColumnMedium, 10},
        {"\"ColumnWidth\"=hex:ff\n\"LineSpacing\"=\"-15\"\n", kColumnMedium, 10},
    };
    for (const auto& c : cases) {
        config.WriteRegistryFile(std::string("[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n") + c.stored);
        LoadReadingColumn();
        EXPECT_EQ(gReadingColumn.width, c.width) << c.stored;
        EXPECT_EQ(gReadingColumn.spacing, c.spacing) << c.stored;
    }
}

// The picture and the window at the same size and settings: the article's first rows
// are the same pixels, for a stored and a fitted gutter.
TEST_F(ReadingColumnTest, TheHeadlessPictureHasTheWindowsColumnAndMargins) {
    for (int gutter : {12, -1}) {
        SetUp();
        config.WriteRegistryFile("");
        SetProduct(u"ColumnWidth", REG_DWORD, DwordBytes(kColumnNarrow));
        SetProduct(u"LineSpacing", REG_DWORD, DwordBytes(15));
        std::string out = testing::TempDir() + "column.png";
        if (gutter >= 0) SetValue(kVendorKey, u"SurroundingGutter", REG_DWORD, DwordBytes(gutter));
        ASSERT_EQ(Velun({"--render", "142", "--size", "1280x700", "--out", out}), 0);
        QImage picture(QString::fromStdString(out));
        ResetAppState();
        gFittedGutter = gutter < 0;
        gApp.SurroundingGutter = std::max(gutter, 0);
        ASSERT_NO_FATAL_FAILURE(StartOn(142, 1280, 700));
        if (SidePanelShown()) ShowSidePanel(false);
        gArticleOverlay = nullptr;  // the window's links; the picture draws none
        RepaintNow(window, kPaintAll);
        const ArticleView* view = View();
        int differing = 0;
        for (int y = 0; y < view->height / 2; y++)
            for (int x = 0; x < 1280; x++)
                differing += WindowOf(window)->image.pixel(x, view->top + y) != picture.pixel(x, view->left + y);
        EXPECT_EQ(differing, 0) << "gutter " << gutter;
        EXPECT_GT(SpanOf(view).left - view->left, 200) << "the narrow column is centred";
        TearDown();
    }
}
