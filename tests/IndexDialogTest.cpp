// The index dialog on the offscreen Qt platform: what it returns for a tapped link,
// OK, Escape and closing; taps, keys, the scroll bar and size changes while it is
// open; and the headless picture of the tree.
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "IndexFixture.h"
#include "platform/qt/QtWindow.h"
#include "cli/Headless.h"
#include "shell/IndexDialog.h"

namespace {

// Runs the script inside the dialog's modal loop once the tree is on screen, and
// returns what the dialog returned.
uint16_t OpenWith(int current, std::function<void(HWND)> script) {
    EnsureWindowLayer();
    QTimer timer;
    int tries = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        HWND dialog = gIndexDialog.dialog;
        if (++tries < 500 && !(dialog && gIndexDialog.view && IsWindowVisible(dialog))) return;
        timer.stop();
        if (!dialog) return;
        script(dialog);
        if (::testing::Test::HasFatalFailure()) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    timer.start(10);
    return OpenIndexDialog(GetModuleHandleW(nullptr), nullptr, current, &gApp.fontSettings);
}

QWidget* ClientOf(HWND dialog) { return WidgetOf(dialog)->focusProxy(); }

// A real click, through the platform's input path.
void Click(HWND dialog, int x, int y) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(ClientOf(dialog), &press);
}

// A tap handled at once, for checking the tree right after it.
void Tap(HWND dialog, int x, int y) { SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }

void Press(HWND dialog, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(ClientOf(dialog), &press);
}

void ClickOk(HWND dialog) {
    for (QPushButton* b : WidgetOf(dialog)->findChildren<QPushButton*>())
        if (b->text() == "OK") b->click();
}

SCROLLINFO ScrollInfo(HWND dialog) {
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_POS};
    GetScrollInfo(dialog, SB_VERT, &info);
    return info;
}

void VScroll(HWND dialog, WORD code, int position = 0) {
    SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(code, (WORD)position), 0);
}

class IndexDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        gApp.fontSettings.FontAsciiBase = 97;
        SetBookmarks({5, 3});
    }
    void TearDown() override { ClearBookmarks(); }
};

TEST_F(IndexDialogTest, ATappedLinkEndsTheDialogWithItsArticle) {
    uint16_t chosen = OpenWith(6, [](HWND dialog) {
        // Row 0 is the "Bookmarks" heading, row 1 the entry of article 5.
        const IndexView* view = gIndexDialog.view;
        Click(dialog, view->lines[1].x + 2, view->top + view->lines[0].height + 2);
    });
    EXPECT_EQ(chosen, 5);
    EXPECT_EQ(gIndexDialog.view, nullptr);  // destroyed with the dialog, index and all
    EXPECT_EQ(gIndexDialog.surface, nullptr);
}

TEST_F(IndexDialogTest, OkKeepsTheCurrentArticleEscapeAndClosingChooseNone) {
    EXPECT_EQ(OpenWith(6, ClickOk), 6);
    EXPECT_EQ(OpenWith(0, ClickOk), 0);
    EXPECT_EQ(OpenWith(6, [](HWND dialog) { Press(dialog, Qt::Key_Escape); }), 0);
    EXPECT_EQ(OpenWith(6, [](HWND dialog) { WidgetOf(dialog)->close(); }), 0);
}

TEST_F(IndexDialogTest, OpensTheTreeDownToTheCurrentArticle) {
    OpenWith(7, [](HWND dialog) {
        const IndexView* view = gIndexDialog.view;
        int shownLinks = 0;
        for (const IndexLine* line = view->lines; line->style; line++)
            if (line->key == 0x4007 && (line->style & kIndexShown)) shownLinks++;
        EXPECT_EQ(shownLinks, 1);
        ClickOk(dialog);
    });
}

TEST_F(IndexDialogTest, TapsKeysAndTheScrollBarMoveTheTreeWhileItStaysOpen) {
    uint16_t chosen = OpenWith(6, [](HWND dialog) {
        IndexView* view = gIndexDialog.view;
        // Bookmarks, two entries, the three parts and the way to article 6 do not fit.
        SetWindowPos(dialog, nullptr, 0, 0, 300, 140, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(view->width, client.right);  // the view takes the whole client area
        EXPECT_EQ(view->height, client.bottom);
        ASSERT_GT(view->maxTopRow, 2);
        EXPECT_EQ(ScrollInfo(dialog).nMax, view->maxTopRow);

        EXPECT_EQ(SendMessageW(dialog, WM_KEYDOWN, VK_NEXT, 0), 0);  // the mark a page on, the tree after it
        EXPECT_GT(view->topRow, 0);
        EXPECT_EQ(ScrollInfo(dialog).nPos, view->topRow);
        EXPECT_EQ(SendMessageW(dialog, WM_KEYDOWN, VK_F1, 0), 1);  // not the tree's
        VScroll(dialog, SB_TOP);
        EXPECT_EQ(view->topRow, 0);
        VScroll(dialog, SB_PAGEDOWN);
        EXPECT_EQ(view->topRow, std::min<int>(view->rowsPainted, view->maxTopRow));
        VScroll(dialog, SB_THUMBTRACK, 0);
        VScroll(dialog, SB_BOTTOM);
        EXPECT_EQ(view->topRow, 1);
        VScroll(dialog, SB_THUMBPOSITION, view->maxTopRow);
        VScroll(dialog, SB_LINEDOWN);  // refused at the maximum, the bar still follows
        EXPECT_EQ(view->topRow, view->maxTopRow);
        EXPECT_EQ(ScrollInfo(dialog).nPos, view->maxTopRow);

        // Tapping the "Bookmarks" heading collapses it; the range follows.
        VScroll(dialog, SB_TOP);
        int maxBefore = view->maxTopRow;
        Tap(dialog, 1, 5);
        EXPECT_EQ(view->maxTopRow, maxBefore - 2);
        EXPECT_EQ(ScrollInfo(dialog).nMax, view->maxTopRow);
        EXPECT_EQ(SendMessageW(dialog, WM_COMMAND, 1234, 0), 0);
        EXPECT_TRUE(IsWindowVisible(dialog));

        // Larger again: what was shown stays shown and everything fits from the top.
        // Restoring only adds: the bookmarks open again as the index data has them.
        VScroll(dialog, SB_LINEDOWN);
        SetWindowPos(dialog, nullptr, 0, 0, 300, 400, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(dialog, &client);
        EXPECT_EQ(view->topRow, 0);
        EXPECT_EQ(view->maxTopRow, 0);
        EXPECT_EQ(view->rowCount, 11);  // the bookmarks, Welcome, the three parts, four rows down to 6
        Tap(dialog, 100, client.bottom - 5);  // below the last row: nothing chosen
        EXPECT_TRUE(IsWindowVisible(dialog));
        ClickOk(dialog);
    });
    EXPECT_EQ(chosen, 6);
}

// The row of the focused line among the shown ones.
int FocusRow(const IndexView* view) {
    int row = 0;
    for (const IndexLine* m = view->lines; m < FocusedLine((IndexView*)view); m++)
        if (m->style & kIndexShown) row++;
    return row;
}

TEST_F(IndexDialogTest, TheKeyboardMovesAMarkOpensHeadingsAndChoosesTheMarkedLink) {
    uint16_t chosen = OpenWith(6, [](HWND dialog) {
        IndexView* view = gIndexDialog.view;
        ASSERT_TRUE(FocusedLine(view));
        EXPECT_EQ(FocusedLine(view)->key, 0x4006);  // the current article is marked
        SetWindowPos(dialog, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(FocusedLine(view)->key, 0x4006);  // a relayout keeps the mark
        for (int i = 0; i < 20; i++) EXPECT_EQ(SendMessageW(dialog, WM_KEYDOWN, VK_UP, 0), 0);
        EXPECT_EQ(FocusedLine(view), &view->lines[0]);  // the "Bookmarks" heading
        EXPECT_EQ(view->topRow, 0);
        int rows = view->rowCount;
        SendMessageW(dialog, WM_KEYDOWN, VK_LEFT, 0);
        EXPECT_EQ(view->rowCount, rows - 2);
        SendMessageW(dialog, WM_KEYDOWN, VK_LEFT, 0);  // already closed
        EXPECT_EQ(view->rowCount, rows - 2);
        SendMessageW(dialog, WM_KEYDOWN, VK_RIGHT, 0);
        EXPECT_EQ(view->rowCount, rows);
        // Down to the end: the mark stays in sight all the way.
        for (int i = 0; i < rows + 2; i++) {
            SendMessageW(dialog, WM_KEYDOWN, VK_DOWN, 0);
            int row = FocusRow(view);
            EXPECT_GE(row, view->topRow);
            // At the maximum top row the tree can go no further (its last row may be cut).
            if (view->topRow < view->maxTopRow) {
                EXPECT_LT(row, view->topRow + view->rowsPainted);
            }
        }
        EXPECT_GE(FocusRow(view), rows - 3);  // the last record
        while (FocusedLine(view)->key != 0x4005) SendMessageW(dialog, WM_KEYDOWN, VK_UP, 0);
        Press(dialog, Qt::Key_Return);  // through the platform: Enter takes the mark, not OK
    });
    EXPECT_EQ(chosen, 5);
}

TEST_F(IndexDialogTest, TheWheelScrollsTheTree) {
    OpenWith(6, [](HWND dialog) {
        IndexView* view = gIndexDialog.view;
        SetWindowPos(dialog, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_GT(view->maxTopRow, 3);
        view->topRow = 0;
        SendMessageW(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(SHORT)-WHEEL_DELTA), 0);
        EXPECT_EQ(view->topRow, std::min<int>(QApplication::wheelScrollLines(), view->maxTopRow));
        EXPECT_EQ(ScrollInfo(dialog).nPos, view->topRow);
        ClickOk(dialog);
    });
}

TEST_F(IndexDialogTest, ReactivatingHidesTheTaskBarAgain) {
    OpenWith(6, [](HWND dialog) {
        gTaskBarWindow = CreateWindowExW(0, TEXT("STATIC"), TEXT(""), WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                         nullptr, nullptr, nullptr);
        ASSERT_TRUE(IsWindowVisible(gTaskBarWindow));
        SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_FALSE(IsWindowVisible(gTaskBarWindow));
        DestroyWindow(gTaskBarWindow);
        gTaskBarWindow = nullptr;
        ClickOk(dialog);
    });
}

TEST(RenderIndex, DrawsTheTreeAsTheDialogOpensIt) {
    std::string out = testing::TempDir() + "velun-index.png";
    const char* args[] = {"velun", "--render-index", "--current", "7", "--bookmarks", "5,3",
                          "--size", "200x150", "--out", out.c_str()};
    ASSERT_TRUE(IsHeadlessRequest(10, (char**)args));
    ASSERT_EQ(RunHeadless(10, (char**)args), 0);
    QImage picture(QString::fromStdString(out));
    ASSERT_EQ(picture.size(), QSize(200, 150));
    // The boxed minus of the expanded "Bookmarks" heading, in the first row's indent.
    int top = 0;
    while (top < 16 && picture.pixel(4, top) != qRgb(0, 0, 0)) top++;
    ASSERT_LT(top, 16);
    EXPECT_EQ(picture.pixel(4, top + 2), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(4, top + 4), qRgb(0, 0, 0));
    EXPECT_EQ(gApp.bookmarkList, nullptr);

    const char* bad[] = {"velun", "--render-index", "--bookmarks", "5,,3", "--out", out.c_str()};
    EXPECT_EQ(RunHeadless(6, (char**)bad), 2);
}

}  // namespace

// Screen readers see the tree: headings expandable with their state, the open
// heading's entries below it.
TEST_F(IndexDialogTest, TheTreeIsExposedWithItsExpandedAndCollapsedHeadings) {
    EnsureWindowLayer();
    OpenWith(6, [](HWND dialog) {
        UpdateIndexScrollBar();  // publishes the tree as shown
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(ClientOf(dialog));
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(tree->role(), QAccessible::Tree);
        ASSERT_GE(tree->childCount(), 2);
        QAccessibleInterface* bookmarks = tree->child(0);
        ASSERT_NE(bookmarks, nullptr);
        EXPECT_EQ(bookmarks->role(), QAccessible::TreeItem);
        EXPECT_EQ(bookmarks->text(QAccessible::Name), "Bookmarks");
        EXPECT_TRUE(bookmarks->state().expandable);
        EXPECT_TRUE(bookmarks->state().expanded);
        ASSERT_EQ(bookmarks->childCount(), 2);  // articles 5 and 3
        EXPECT_FALSE(bookmarks->child(0)->state().expandable);
        EXPECT_EQ(bookmarks->child(0)->parent(), bookmarks);
        EXPECT_EQ(tree->indexOfChild(bookmarks), 0);
        bool collapsed = false;
        for (int i = 0; i < tree->childCount(); i++) collapsed = collapsed || tree->child(i)->state().collapsed;
        EXPECT_TRUE(collapsed);  // a heading that is not open says so
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

// A record's caption, as the tree shows it.
std::string CaptionOf(const IndexView* view, const IndexLine* line) {
    return line ? std::string((const char*)view->index + line->offset, line->count) : std::string();
}

TEST_F(IndexDialogTest, HomeEndLettersAndClicksMoveTheMarkAndOpenedHeadingsStayForTheRun) {
    OpenWith(6, [](HWND dialog) {
        IndexView* view = gIndexDialog.view;
        SetWindowPos(dialog, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageW(dialog, WM_KEYDOWN, VK_END, 0);
        EXPECT_EQ(CaptionOf(view, FocusedLine(view)), "Type, Print and Screen");
        EXPECT_EQ(view->topRow, view->maxTopRow);
        SendMessageW(dialog, WM_KEYDOWN, VK_HOME, 0);
        EXPECT_EQ(FocusedLine(view), &view->lines[0]);
        EXPECT_EQ(view->topRow, 0);
        SendMessageW(dialog, WM_KEYDOWN, 'M', 0);  // the next record starting with it, case-blind
        EXPECT_EQ(CaptionOf(view, FocusedLine(view)), "Marks and Numbers");
        SendMessageW(dialog, WM_KEYDOWN, VK_RIGHT, 0);
        SendMessageW(dialog, WM_KEYDOWN, VK_HOME, 0);
        SendMessageW(dialog, WM_KEYDOWN, VK_LEFT, 0);  // the bookmarks closed
        // A click on a heading's text moves the mark there and toggles it.
        const IndexLine* welcome = nullptr;
        int y = view->top;
        for (const IndexLine* m = view->lines; m->style && !welcome; m++) {
            if (!(m->style & kIndexShown)) continue;
            if (m->key == 0xBFFE) welcome = m;
            else y += m->height;
        }
        ASSERT_NE(welcome, nullptr);
        Tap(dialog, welcome->x + 2, y + 2);
        EXPECT_EQ(FocusedLine(view), welcome);
        EXPECT_TRUE(welcome->style & kIndexExpanded);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    OpenWith(6, [](HWND dialog) {
        const IndexView* view = gIndexDialog.view;
        auto opened = [view](uint16_t key) {
            for (const IndexLine* m = view->lines; m->style; m++)
                if (m->key == key) return (m->style & kIndexExpanded) != 0;
            return false;
        };
        EXPECT_FALSE(opened(0x8877));  // closed before: still closed
        EXPECT_TRUE(opened(0xBFFE));   // opened by the click: still open
        bool marksOpen = false;
        for (const IndexLine* m = view->lines; m->style; m++)
            if (CaptionOf(view, m) == "Marks and Numbers") marksOpen = (m->style & kIndexExpanded) != 0;
        EXPECT_TRUE(marksOpen);
        EXPECT_EQ(FocusedLine((IndexView*)view)->key, 0x4006);  // and the current article marked again
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}
