// Where the reader is: the status line's page and percentage as the reader pages,
// its text drawn under the article by day and by night, the scroll bar's thumb
// the share of the article a page shows, and the title bar left as it was.
#include <QScrollBar>

#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "reader/StatusLine.h"
#include "views/Palette.h"

namespace {

std::u16string Text(const ArticleProgress& progress) {
    WCHAR text[64];
    int n = ProgressText(progress, text, 64);
    return std::u16string(text, (size_t)n);
}

class StatusLine : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartOn(142, 240, 320));
    }
    // Pixels of the line under the view that are not the page's background.
    int InkUnderTheView() {
        const QImage& image = WindowOf(window)->image;
        int top = View()->top + View()->height, height = StatusLineHeight(window), ink = 0;
        QRgb background = qRgb(GetRValue(ActivePalette().background), GetGValue(ActivePalette().background),
                               GetBValue(ActivePalette().background));
        for (int y = top; y < top + height && y < image.height(); y++)
            for (int x = View()->left; x < View()->left + View()->width; x++)
                ink += (image.pixel(x, y) | 0xFF000000) != (background | 0xFF000000);
        return ink;
    }
    // The line drawn with a note (and its brief form), from its left end: width
    // pixels of it, or all of it.
    QImage LineWith(const char16_t* note, const char16_t* brief = nullptr, int width = 0) {
        SetStatusNote(note, 142, brief);
        DrawStatusLine(View(), 142);
        int top = View()->top + View()->height;
        return WindowOf(window)->image.copy(View()->left, top, width ? width : View()->width, StatusLineHeight(window));
    }
};

}  // namespace

TEST(ProgressText, NamesThePageAmongThePagesAndThePercentage) {
    EXPECT_EQ(Text({3, 11, 27}), u"page 3 of 11  27%");
    EXPECT_EQ(Text({1, 1, 100}), u"page 1 of 1  100%");
    WCHAR small[6];
    EXPECT_EQ(ProgressText({3, 11, 27}, small, 6), 5);  // cut, still terminated
    EXPECT_EQ(small[5], 0);
}

TEST_F(StatusLine, PagesCountFromOneAtTheTopToAllAtTheEndWithTheShareRead) {
    ArticleProgress top = ProgressOf(View());
    EXPECT_EQ(top.page, 1);
    EXPECT_GT(top.pages, 20);
    EXPECT_LT(top.percent, 5);
    Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(ProgressOf(View()).page, 2);
    Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(ProgressOf(View()).page, 3);
    Send(WM_KEYDOWN, VK_END);
    ArticleProgress end = ProgressOf(View());
    EXPECT_EQ(end.page, end.pages);
    EXPECT_EQ(end.pages, top.pages);
    EXPECT_EQ(end.percent, 100);
}

TEST_F(StatusLine, ItsTextIsDrawnUnderTheArticleByDayAndByNight) {
    EXPECT_GT(InkUnderTheView(), 50);
    Send(WM_COMMAND, kCmdNight);
    EXPECT_GT(InkUnderTheView(), 50);
    Send(WM_COMMAND, kCmdNight);
    WCHAR title[128];
    GetWindowTextW(window, title, 128);
    EXPECT_EQ(std::u16string(title), u"The History of Printing in Europe - Velun");
}

TEST_F(StatusLine, ANoteWiderThanItsRoomKeepsItsStartAndIsCutAtTheEnd) {
    QImage shorter = LineWith(u"hit 1 of 248 in 99 articles, a note of some length", nullptr, 40);
    EXPECT_EQ(LineWith(u"hit 1 of 248 in 99 articles, a note of some greater length still", nullptr, 40), shorter);
}

// A note with a brief form shows it where the whole has no room, as if it were the note.
TEST_F(StatusLine, ANoteWithoutRoomShowsItsBriefForm) {
    QImage brief = LineWith(u"1/248"), blank = LineWith(u"");
    EXPECT_NE(brief, blank);
    EXPECT_EQ(LineWith(u"hit 1 of 248 in 99 articles", u"1/248"), brief);
    SetClientSize(window, 900, 320);  // with room, the note stands whole
    EXPECT_NE(LineWith(u"hit 1 of 248 in 99 articles", u"1/248"), LineWith(u"1/248"));
}

TEST_F(StatusLine, TheScrollThumbIsTheShareOfTheArticleAPageShows) {
    QScrollBar* bar = ScrollBarOf(window);
    ASSERT_NE(bar, nullptr);
    int rows = View()->rowCount, page = rows - View()->maxTopRow;
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_EQ(bar->maximum() - bar->minimum(), View()->maxTopRow);
    Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(bar->value(), View()->topRow);
    // A bigger window shows a bigger share: a longer thumb.
    SetClientSize(window, 600, 900);
    EXPECT_GT(bar->pageStep() * rows, page * View()->rowCount);
}
