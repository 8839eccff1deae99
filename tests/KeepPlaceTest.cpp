// The reading place kept by its text through every change of layout: the window's
// size, maximising, the font dialog (size and code point base), the font-size keys,
// Night and Reverse, on an English, a Hebrew and a long article.
#include <QApplication>
#include <QTimer>

#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "content/ArticleRecords.h"
#include "reader/KeepPlace.h"
#include "resources/Dialogs.h"

namespace {

class KeepPlace : public ReaderTest, public testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartOn(GetParam(), 240, 320));
        ASSERT_TRUE(HoldsArticle(View(), GetParam()));
    }
    // Whether the line holding offset is the first shown, or, when the article ends
    // too soon for that, the page is the last one and shows that line.
    ::testing::AssertionResult HoldsPlace(int offset) {
        ArticleView* view = View();
        int row = 0;
        for (const ArticleLine* line = view->lines; line->style; line++) {
            int end = ArticleLineEnd(view->article, *line);
            if (line->offset <= offset && (offset < end || offset == line->offset)) {
                // The first line shown (a top row on a blank row shows the next line first).
                if (line->offset == FirstVisibleOffset(view) || (view->topRow == view->maxTopRow && row > view->topRow))
                    return ::testing::AssertionSuccess();
                return ::testing::AssertionFailure() << "offset " << offset << " is on row " << row
                                                     << ", the top row is " << view->topRow;
            }
            row += (line->style & kStyleBlankAfter) ? 2 : 1;
        }
        return ::testing::AssertionFailure() << "no line holds offset " << offset;
    }
    // Each change, from a spread of top rows: the first visible character stays first.
    template <class Change>
    void ExpectKept(const char* what, Change change) {
        for (int share : {0, 1, 3, 5, 8, 10}) {
            View()->topRow = (uint16_t)(View()->maxTopRow * share / 10);
            RepaintNow(window, kPaintAll);
            int offset = PlaceOf(View());
            change();
            EXPECT_TRUE(HoldsPlace(offset)) << what << " from " << share << "/10";
        }
    }
    // The font dialog opened by its command, with the script run once it is up.
    void FontDialog(std::function<void(HWND)> script) {
        QTimer::singleShot(0, [script] {
            HWND dialog = HandleOf(WindowOfWidget(QApplication::activeModalWidget()));
            ASSERT_NE(dialog, nullptr);
            script(dialog);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        Send(WM_COMMAND, kCmdFont);
    }
};

void ClickButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
}

void ChooseSize(HWND dialog, const char16_t* size) {
    HWND list = GetDlgItem(dialog, kSizeList);
    ASSERT_GE(SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)size), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kSizeList, LBN_SELCHANGE), (LPARAM)list);
}

}  // namespace

TEST_P(KeepPlace, ResizingAndMaximisingKeepTheFirstVisibleText) {
    const int widths[] = {240, 330, 517, 800, 1100, 300, 1920};
    for (size_t i = 1; i < std::size(widths); i++) {
        ExpectKept("resize", [&] {
            SetClientSize(window, widths[i], 320 + (int)i * 40);
            SetClientSize(window, widths[i - 1], 320);
            SetClientSize(window, widths[i], 320 + (int)i * 40);
        });
    }
    SetClientSize(window, 400, 300);
    ExpectKept("maximise", [&] { ShowWindow(window, SW_SHOWMAXIMIZED); QApplication::processEvents(); });
    ExpectKept("restore", [&] { ShowWindow(window, SW_SHOWNORMAL); QApplication::processEvents(); });
}

TEST_P(KeepPlace, TheFontDialogTheSizeKeysNightAndReverseKeepTheFirstVisibleText) {
    SetClientSize(window, 517, 400);
    ExpectKept("font size", [&] { FontDialog([](HWND d) { ChooseSize(d, u"22"); }); });
    EXPECT_EQ(gApp.fontSettings.size, 22);
    ExpectKept("base", [&] { FontDialog([](HWND d) { ClickButton(d, kBase224Button); }); });
    EXPECT_EQ(gApp.fontSettings.FontAsciiBase, 224);
    ExpectKept("Ctrl+minus", [&] { Key(VK_OEM_MINUS, kKeyControl); });
    ExpectKept("Ctrl+0", [&] { Key('0', kKeyControl); });
    ExpectKept("Night", [&] { Send(WM_COMMAND, kCmdNight); });
    ExpectKept("Reverse", [&] { Send(WM_COMMAND, kCmdReverse); });
}

INSTANTIATE_TEST_SUITE_P(EnglishHebrewAndLong, KeepPlace, testing::Values(1, 33, 142));
