// Selecting a passage: the offset under a point, the word around it, the selection
// drawn in the desktop's colours, its copy, and the pointer through the real input
// path (press, drag, release, double click) against tap paging.
#include <QCoreApplication>
#include <chrono>
#include <QMouseEvent>

#include "ArticleFixture.h"
#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "shell/Export.h"

namespace {

const std::vector<TestRecord> kTwo = {{0x81, 0, "alpha beta"}, {0x01, 0, "gamma delta"}};

class SelectionView : public ArticleViewTest {
  protected:
    void LayoutTwo() {
        Open(200, 100);
        ASSERT_EQ(Layout(kTwo), kLayoutOk);  // rows at y 0, 16 (blank) and 32
    }
    int At(size_t record, int index) { return TextOffset(kTwo, record) + index; }
};

std::u16string ClipboardText() {
    size_t size = 0;
    BYTE* copy = GetClipboardCopy(CF_UNICODETEXT, &size);
    std::u16string text = copy ? std::u16string((const char16_t*)copy, size / 2) : u"<none>";
    free(copy);
    return text;
}

class SelectionReader : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, 240, 320);
        Pump();
        ASSERT_TRUE(View()->rowCount > 30);  // article 1 is longer than a page
    }
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) DispatchMessageW(&msg);
    }
    QWidget* Client() { return WidgetOf(window)->focusProxy(); }
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(x, y), QPointF(x, y), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(Client(), &event);
        Pump();
    }
    void Press(int x, int y) { Mouse(QEvent::MouseButtonPress, x, y, Qt::LeftButton); }
    void Move(int x, int y) { Mouse(QEvent::MouseMove, x, y, Qt::LeftButton); }
    void Release(int x, int y) { Mouse(QEvent::MouseButtonRelease, x, y, Qt::NoButton); }
    // A point on the text of the view's second text row.
    int TextX() const { return View()->left + 30; }
    int TextY() const { return View()->top + 25; }
    // A point in the lower half, where a tap pages forward (the default flags page
    // by the tap's vertical half).
    int LowY() const { return View()->top + View()->height - 40; }
};

}  // namespace

TEST_F(SelectionView, PointsMapToOffsetsInsideAndAroundThePage) {
    LayoutTwo();
    EXPECT_EQ(OffsetAtPoint(view, 6 * 8 + 3, 5), At(0, 6));   // on the 'b'
    EXPECT_EQ(OffsetAtPoint(view, 150, 5), At(0, 10));        // right of the text: its end
    EXPECT_EQ(OffsetAtPoint(view, 20, 20), At(0, 2));         // the blank row is its paragraph's
    EXPECT_EQ(OffsetAtPoint(view, 0, 90), At(1, 11));         // below the last line: the end
    view->topRow = 2;
    EXPECT_EQ(OffsetAtPoint(view, 100, -10), At(1, 0));       // above the page: its first line
    EXPECT_EQ(OffsetAtPoint(nullptr, 0, 0), -1);
}

TEST_F(SelectionView, AWordEndsAtSpacesAndAtItsRecord) {
    LayoutTwo();
    int start = 0, end = 0;
    ASSERT_TRUE(WordAround(view, At(0, 7), &start, &end));
    EXPECT_EQ(start, At(0, 6));
    EXPECT_EQ(end, At(0, 10));
    ASSERT_TRUE(WordAround(view, At(1, 0), &start, &end));
    EXPECT_EQ(start, At(1, 0));  // not into the record bytes before the text
    EXPECT_EQ(end, At(1, 5));
    EXPECT_FALSE(WordAround(view, At(0, 5), &start, &end));  // a space
}

TEST_F(SelectionView, SelectionIsDrawnInTheDesktopColoursAcrossLinesAndEndsWithTheArticle) {
    LayoutTwo();
    SetSelection(view, At(1, 5), At(0, 7));  // either direction
    EXPECT_EQ(view->selectionStart, At(0, 7));
    PaintArticleView(view, TRUE);
    std::vector<std::u16string> lit;
    for (const FakeCall& run : FakeCallsOf(dc, FakeCallKind::Text))
        if (run.backgroundColour == (COLORREF)GetSysColor(COLOR_HIGHLIGHT) && run.opaque) lit.push_back(run.text);
    EXPECT_EQ(lit, (std::vector<std::u16string>{u"eta", u"gamma"}));

    BYTE* same = view->article;
    LayoutArticle(view, same, FALSE);  // the same article again (new fonts): kept
    EXPECT_TRUE(HasSelection(view));
    LayoutArticle(view, MakeArticle(kTwo), TRUE);
    EXPECT_FALSE(HasSelection(view));
}

TEST_F(SelectionView, APassageCopiesAsTheArticleWouldWithoutTheCutParts) {
    std::vector<TestRecord> records = {{0x81, 3, "alpha beta"}, {0x07, 10, ""}, {0x81, 2, "gamma delta"}};
    Open(200, 100);
    ASSERT_EQ(Layout(records), kLayoutOk);
    ExportRange({view->article, (size_t)TextOffset(records, 0) + 6, (size_t)TextOffset(records, 2) + 5}, 0);
    // The cut start loses its indent, the cut end its blank line; no line end behind.
    // An uncut start keeps its indent.
    EXPECT_EQ(ClipboardText(), u"beta\r\n\r\n----------\r\n  gamma");
    ExportRange(WholeArticle(view->article), 0);
    ExportArticle(view, 1);
    std::u16string whole = u"   alpha beta\r\n\r\n----------\r\n  gamma delta\r\n\r\n";
    EXPECT_EQ(ClipboardText(), whole + whole);
}

TEST_F(SelectionReader, ADragSelectsAndCopyTakesThePassage) {
    int from = View()->topRow;
    Press(TextX(), TextY());
    Move(TextX() + 2, TextY() + 1);  // inside the drag distance: nothing yet
    EXPECT_FALSE(HasSelection(View()));
    Move(TextX() + 60, TextY() + 40);
    Release(TextX() + 60, TextY() + 40);
    ASSERT_TRUE(HasSelection(View()));
    EXPECT_EQ(View()->topRow, from);  // a drag does not page
    Send(WM_COMMAND, kCmdCopy);
    std::u16string copied = ClipboardText();
    WCHAR* expected = RenderExportText(SelectedRange(View()));
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(copied, std::u16string(expected));
    EXPECT_NE(copied.find(u"\r\n"), std::u16string::npos);  // across lines
    free(expected);

    // A tap clears it and pages as before; Copy is the whole article again.
    Press(TextX(), LowY());
    Release(TextX(), LowY());
    EXPECT_FALSE(HasSelection(View()));
    EXPECT_GT(View()->topRow, from);
    Send(WM_COMMAND, kCmdCopy);
    EXPECT_GT(ClipboardText().size(), copied.size() * 3);
}

// Held below the article, the drag scrolls on its timer, the selection following;
// the release stops it.
TEST_F(SelectionReader, ADragHeldBelowTheArticleKeepsScrollingUntilReleased) {
    Press(TextX(), TextY());
    int below = View()->top + View()->height + 60;
    Move(TextX(), below);
    auto wait = [this](int ms) {
        for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
             std::chrono::steady_clock::now() < end;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            Pump();
        }
    };
    uint16_t startRow = View()->topRow;
    int startEnd = (int)View()->selectionEnd;
    wait(800);
    EXPECT_GE(View()->topRow, startRow + 5);
    EXPECT_GT((int)View()->selectionEnd, startEnd);
    Release(TextX(), below);
    uint16_t released = View()->topRow;
    wait(300);
    EXPECT_EQ(View()->topRow, released);
}

TEST_F(SelectionReader, AClickThatStaysInsideTheDragDistancePagesOnRelease) {
    Press(TextX(), LowY());
    EXPECT_EQ(View()->topRow, 0);  // the press alone does not page
    Move(TextX() - 2, LowY() + 2);
    Release(TextX() - 2, LowY() + 2);
    EXPECT_GT(View()->topRow, 0);
    EXPECT_FALSE(HasSelection(View()));
}

TEST_F(SelectionReader, ADoubleClickSelectsTheWordOnThePageItWasMadeOn) {
    int right = TextX();
    Press(right, LowY());
    Release(right, LowY());
    ASSERT_GT(View()->topRow, 0);  // the first click paged as a tap
    Mouse(QEvent::MouseButtonDblClick, right, LowY(), Qt::LeftButton);
    Release(right, LowY());
    EXPECT_EQ(View()->topRow, 0);
    ASSERT_TRUE(HasSelection(View()));
    // The word is taken on the page the click was made on, not the one it paged to.
    int start = 0, end = 0;
    ASSERT_TRUE(WordAround(View(), OffsetAtPoint(View(), right, LowY()), &start, &end));
    EXPECT_EQ(View()->selectionStart, start);
    EXPECT_EQ(View()->selectionEnd, end);
}

TEST_F(SelectionReader, AnotherArticleEndsTheSelection) {
    Press(TextX(), TextY());
    Move(TextX() + 80, TextY() + 30);
    Release(TextX() + 80, TextY() + 30);
    ASSERT_TRUE(HasSelection(View()));
    Send(WM_COMMAND, kCmdNextArticle);
    EXPECT_FALSE(HasSelection(View()));
}
