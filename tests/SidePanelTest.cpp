// The side panel through the real main window: shown by width and by F9, its state
// and width kept, Ctrl+F to its Search tab, search as you type over the collection,
// and the hits chosen by keys, F3 and Shift+F3.
#include <QAccessible>
#include <QColor>
#include <QImage>
#include <QListView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <climits>

#include "ShellFixture.h"
#include "platform/Panel.h"
#include "platform/qt/QtWindow.h"
#include "reader/LiveSearch.h"
#include "reader/PanelSearch.h"
#include "reader/SearchRules.h"
#include "reader/SidePanel.h"
#include "reader/StatusLine.h"
#include "shell/Search.h"
#include "resources/Commands.h"

namespace {

class SidePanelTest : public ReaderTest {
  protected:
    void TearDown() override {
        SetWholeWordSearch(false);
        ReaderTest::TearDown();
    }
    HWND StartAt(int width, int height) {
        if (!Start()) return nullptr;
        SetClientSize(window, width, height);
        Pump();
        return window;
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    void Command(WORD id) {
        Send(WM_COMMAND, id);
        Pump();
    }
    // Ctrl+F, then the text typed into the box that takes the focus.
    HWND Type(const std::u16string& text) {
        Command(kCmdSearchTab);
        HWND box = GetFocus();
        SetWindowTextW(box, text.c_str());
        Pump();
        return box;
    }
    static std::string Status() { return Utf16ToUtf8(PanelStatusText().c_str()); }
};

TEST_F(SidePanelTest, AWideWindowOpensWithThePanelAndF9KeepsTheChoice) {
    ASSERT_TRUE(StartAt(1000, 600));
    ASSERT_TRUE(SidePanelShown());
    RECT panel;
    GetWindowRect(SidePanelWindow(), &panel);
    int panelWidth = panel.right - panel.left;
    EXPECT_GE(panelWidth, 160);
    EXPECT_GT(View()->left, panelWidth);  // the article stands beside it
    Command(kCmdSidePanel);
    EXPECT_FALSE(SidePanelShown());
    EXPECT_LT(View()->left, panelWidth);
    EXPECT_EQ(Product(u"SidePanel").data, DwordBytes(0));
    Command(kCmdSidePanel);
    EXPECT_TRUE(SidePanelShown());
    EXPECT_EQ(Product(u"SidePanel").data, DwordBytes(1));
}

TEST_F(SidePanelTest, ANarrowWindowOpensWithoutItUntilCtrlFOpensTheSearchTab) {
    ASSERT_TRUE(StartAt(700, 500));
    EXPECT_FALSE(SidePanelShown());
    HWND box = Type(u"");
    EXPECT_TRUE(SidePanelShown());
    auto* edit = qobject_cast<QLineEdit*>(WidgetOf(box));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->accessibleName(), QStringLiteral("Search the collection"));
    // Shortcuts typed in the panel's box or list are the main window's, as elsewhere.
    EXPECT_EQ(ShortcutWindow(box), gApp.mainWindow);
    EXPECT_EQ(ShortcutWindow(GetParent(box)), gApp.mainWindow);
    EXPECT_EQ(ShortcutWindow(gApp.mainWindow), gApp.mainWindow);
}

// A window too narrow for both shows the panel over the whole article, as a drawer:
// Enter on a hit (or reading an article or note) lets the article show again, for
// this run only; a wider window docks the panel again.
TEST_F(SidePanelTest, InAWindowTooNarrowForBothThePanelCoversTheArticleUntilAHitIsChosen) {
    ASSERT_TRUE(StartAt(240, 320));
    Command(kCmdSidePanel);
    ASSERT_TRUE(SidePanelShown());
    RECT panel, client;
    GetWindowRect(SidePanelWindow(), &panel);
    GetClientRect(window, &client);
    EXPECT_EQ(panel.right - panel.left, client.right);
    EXPECT_GT(View()->width, 150) << "the article under the panel keeps the window's width";
    EXPECT_TRUE(GetFocus() == SidePanelWindow() || GetParent(GetFocus()) == SidePanelWindow());
    Type(u"alphab");
    SendMessageW(SidePanelWindow(), WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_FALSE(SidePanelShown());
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(Status().substr(0, 10), "hit 1 of 2");
    EXPECT_EQ(View()->hitEnd - View()->hitStart, 6) << "the hit chosen is lit";
    EXPECT_EQ(Product(u"SidePanel").data, DwordBytes(1)) << "stepping aside is not a choice kept";
    Command(kCmdSearchAgain);  // F3 goes on through the list with the panel aside
    EXPECT_EQ(Status().substr(0, 10), "hit 2 of 2");
    EXPECT_FALSE(SidePanelShown());
    Command(kCmdSidePanel);  // back over the article; a click on a hit reads it
    ASSERT_TRUE(SidePanelShown());
    auto* list = WidgetOf(SidePanelWindow())->findChild<QListView*>();
    QPoint row = list->visualRect(list->model()->index(4, 0)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, row, list->viewport()->mapToGlobal(row), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &click);
    }
    Pump();
    EXPECT_FALSE(SidePanelShown());
    EXPECT_EQ(Status().substr(0, 10), "hit 4 of 2");
    SetClientSize(window, 1000, 600);
    Pump();
    EXPECT_TRUE(SidePanelShown());
    GetWindowRect(SidePanelWindow(), &panel);
    EXPECT_LT(panel.right - panel.left, 500);
    EXPECT_EQ(View()->hitEnd - View()->hitStart, 6) << "a new size keeps the hit lit";
    EXPECT_GT(View()->otherHitCount, 0);
}

TEST_F(SidePanelTest, TypingListsEveryHitAndF3WalksThemInCollectionOrder) {
    ASSERT_TRUE(StartAt(1000, 600));
    Type(u"alef");
    std::string status = Status();
    ASSERT_NE(status.find(" hits in "), std::string::npos) << status;
    Command(kCmdSearchAgain);  // F3: the first hit of the list
    EXPECT_EQ(Status().substr(0, 7), "hit 1 o");
    int first = gApp.currentArticle;
    EXPECT_NE(View()->hitEnd, 0);
    EXPECT_EQ(View()->hitEnd - View()->hitStart, 4);
    // The article's other hits are lit lighter; a new search forgets them.
    EXPECT_GT(View()->otherHitCount, 0);
    EXPECT_EQ(View()->otherHitLength, 4);
    Type(u"alef ");
    EXPECT_EQ(View()->otherHitCount, 0);
    Type(u"alef");
    Command(kCmdSearchAgain);
    Command(kCmdPreviousHit);  // Shift+F3 from the first goes round to the last
    EXPECT_GE(gApp.currentArticle, first);
    std::string last = Status();
    EXPECT_EQ(last.find("hit 1 of"), std::string::npos);
    // The keys of the box: Up to the hit before, Down back.
    SendMessageW(SidePanelWindow(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_NE(Status(), last);
    SendMessageW(SidePanelWindow(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Status(), last);
    // Each hit with rows enough around it is shown a third of the way down the page.
    int placed = 0;
    for (int i = 0; i < 30; i++) {
        Command(kCmdSearchAgain);
        ArticleView* v = View();
        int rows = v->rowsPainted, top = v->topRow;
        ScrollToOffset(v, v->hitStart);
        int hitRow = v->topRow;
        v->topRow = (uint16_t)top;
        if (hitRow < rows / 3 || hitRow >= v->maxTopRow) continue;
        EXPECT_NEAR(hitRow - top, rows / 3, 1);
        placed++;
    }
    EXPECT_GT(placed, 0);
}

TEST_F(SidePanelTest, TheStatusLineCountsTheHitShownAndSaysWhenSearchAgainWraps) {
    ASSERT_TRUE(StartAt(1000, 600));
    Type(u"alef");
    Command(kCmdSearchAgain);
    EXPECT_EQ(Utf16ToUtf8(StatusNote(gApp.currentArticle)), Status());
    EXPECT_EQ(Status().substr(0, 9), "hit 1 of ");
    ShowArticle(window, 187);
    EXPECT_EQ(StatusNote(187)[0], 0);  // it belongs to the hit's article
    SetSearchString(u"tallies", 7);
    ASSERT_EQ(FindNext(window), 1);
    int wrappedTo = gApp.currentArticle;
    EXPECT_LT(wrappedTo, 187);
    EXPECT_EQ(Utf16ToUtf8(StatusNote(wrappedTo)), "search wrapped from the last article to the first");
    ASSERT_EQ(FindNext(window), 1);
    if (gApp.currentArticle > wrappedTo) {
        EXPECT_EQ(StatusNote(gApp.currentArticle)[0], 0);  // onward again: nothing to say
    }
}

TEST_F(SidePanelTest, AnEmptyOrUnfoundQueryListsNothingAndF3SearchesAgain) {
    ASSERT_TRUE(StartAt(1000, 600));
    for (const std::u16string& query : {std::u16string(u"qzxv quill"), std::u16string(u""),
                                        std::u16string(40, u'x'), std::u16string(u"\xD800\n\u0301")}) {
        Type(query);
        EXPECT_EQ(Status().find("hit"), std::string::npos);
    }
    Type(u"qzxv quill");
    EXPECT_EQ(Status(), "Not found");
    ScriptMessageBoxes({IDOK});
    Command(kCmdSearchAgain);  // nothing listed: Search Again says so as before
    EXPECT_EQ(RecordedMessageBoxes().size(), 1u);
}

TEST_F(SidePanelTest, AHebrewQueryListsOnlyHebrewHitsAsNamedSelectableRows) {
    SetProduct(u"FontAsciiBase", REG_DWORD, DwordBytes(1488));
    ASSERT_TRUE(StartAt(1000, 600));
    Type(u"אבא");
    EXPECT_EQ(Status(), "3 hits in 2 articles");
    Command(kCmdSearchAgain);
    // What a screen reader reads: the list is named, its rows are items with the
    // text shown, the heading first, and the chosen hit is selected.
    auto* list = WidgetOf(SidePanelWindow())->findChild<QListView*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->rowCount(), 5);  // two headings, three hits: no widget per row
    QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->text(QAccessible::Name), QStringLiteral("Hits"));
    ASSERT_GE(rows->childCount(), 2);
    EXPECT_TRUE(rows->child(0)->text(QAccessible::Name).startsWith(QStringLiteral("34  ")));
    EXPECT_TRUE(rows->child(1)->text(QAccessible::Name).contains(QStringLiteral("אבא")));
    EXPECT_TRUE(rows->child(1)->state().selected);
    EXPECT_TRUE(rows->child(1)->state().focusable);
}

// Each key searches only the articles the last key found when it can: typed key
// by key, with a key taken back and under every rule, the hits are those of a
// search of the whole collection.
TEST_F(SidePanelTest, AQueryTypedKeyByKeyFindsWhatASearchOfTheWholeCollectionFinds) {
    SetProduct(u"FontAsciiBase", REG_DWORD, DwordBytes(1488));
    ASSERT_TRUE(StartAt(1000, 600));
    struct Case {
        std::vector<std::u16string> typed;
        bool matchCase, wholeWord;
    };
    const Case cases[] = {
        {{u"t", u"th", u"the", u"the ", u"the l"}, false, false},
        {{u"e", u"he", u"the", u"other"}, false, false},  // the last string inside the new, not at its start
        {{u"Th", u"The", u"Thx", u"The"}, true, false},  // a key taken back reads everything again
        {{u"th", u"the", u"they"}, false, true},         // a whole word holds no shorter word
        {{u"\u05d0", u"\u05d0\u05d1", u"\u05d0\u05d1\u05d0"}, false, false},
        {{u"\u05e9\u05dc\u05d5", u"\u05e9\u05dc\u05d5\u05dd"}, false, false},  // a final form folded
        {{u"\u05d0", u"\u05d0\u05b8", u"\u05d0\u05b8\u05d1"}, false, false},          // a point in the query ignored
    };
    auto same = [](const LiveSearch& a, const LiveSearch& b) {
        return a.hits.size() == b.hits.size() && a.rows == b.rows &&
               std::equal(a.hits.begin(), a.hits.end(), b.hits.begin(), [](const LiveHit& x, const LiveHit& y) {
                   return x.article == y.article && x.offset == y.offset;
               });
    };
    for (const Case& c : cases) {
        if (c.matchCase) gApp.Flags |= kFlagMatchCase;
        else gApp.Flags &= ~kFlagMatchCase;
        SetWholeWordSearch(c.wholeWord);
        LiveSearch typed{};
        for (const std::u16string& text : c.typed) {
            SetSearchString(text.c_str(), (int)text.size());
            RunLiveSearch(&typed);
            LiveSearch whole{};
            RunLiveSearch(&whole);
            EXPECT_TRUE(same(typed, whole)) << Utf16ToUtf8(text.c_str()) << ": " << typed.hits.size() << " hits, not "
                                            << whole.hits.size();
        }
    }
    gApp.Flags &= ~kFlagMatchCase;
}

// Where a row's ink lies within its text area, how much of it there is, and whether
// it ends in dots (an ellipsis).
struct RowInk {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    long long amount = 0;
    bool endsInDots = false;
};

// Ink is what differs from the area's top right pixel, which no glyph reaches.
RowInk InkOf(const QImage& image, const QRect& area) {
    QColor background = image.pixelColor(area.topRight());
    auto inkAt = [&](int x, int y) {
        QColor c = image.pixelColor(x, y);
        return std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
               std::abs(c.blue() - background.blue());
    };
    RowInk ink;
    for (int y = area.top(); y <= area.bottom(); y++)
        for (int x = area.left(); x <= area.right(); x++) {
            ink.amount += inkAt(x, y);
            if (inkAt(x, y) < 160) continue;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    int top = INT_MAX, bottom = -1;  // of the last six columns' ink
    for (int y = area.top(); y <= area.bottom(); y++)
        for (int x = std::max(0, ink.right - 5); x <= ink.right; x++)
            if (inkAt(x, y) >= 160) top = std::min(top, y), bottom = std::max(bottom, y);
    ink.endsInDots = bottom >= 0 && bottom - top <= 2;
    return ink;
}

// The style's own drawing of rows, in the rows the list lays out.
struct StandardRows : QStyledItemDelegate {
    explicit StandardRows(const QAbstractItemDelegate* own) : own(own) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return own->sizeHint(option, index);
    }
    const QAbstractItemDelegate* own;
};

// The list draws left-to-right rows with the reader's own glyphs, for speed: where
// the style's own item delegate draws them, give or take the rounding of advances
// (cut Latin rows, bold headings, a selected hit, the framed current row). Rows
// that need bidi, the Hebrew contexts, go through the style's shaping pixel for pixel.
TEST_F(SidePanelTest, TheHitListDrawsItsRowsWhereTheStylesDelegateDoes) {
    SetProduct(u"FontAsciiBase", REG_DWORD, DwordBytes(1488));
    ASSERT_TRUE(StartAt(1000, 600));
    auto* list = WidgetOf(SidePanelWindow())->findChild<QListView*>();
    ASSERT_NE(list, nullptr);
    int cut = 0, shaped = 0;
    for (const char16_t* query : {u"alphabet", u"\u05d0\u05d1\u05d0", u"e"}) {
        Type(query);
        Command(kCmdSearchAgain);  // selects a hit
        if (query[0] == u'e') list->setFocus();  // the current row framed
        QImage ours = list->viewport()->grab().toImage();
        QAbstractItemDelegate* own = list->itemDelegate();
        StandardRows standard(own);
        list->setItemDelegate(&standard);
        QImage theirs = list->viewport()->grab().toImage();
        list->setItemDelegate(own);
        for (int row = 0; row < list->model()->rowCount(); row++) {
            QModelIndex index = list->model()->index(row, 0);
            QRect rect = list->visualRect(index);
            if (rect.bottom() >= list->viewport()->height()) break;
            EXPECT_LE(rect.right(), list->viewport()->width() - 1);  // cut at the list's edge, never past it
            QString text = index.data().toString();
            SCOPED_TRACE(text.toStdString());
            if (text.contains(QChar(0x200F))) {
                EXPECT_EQ(ours.copy(rect), theirs.copy(rect));
                shaped++;
                continue;
            }
            QRect area = rect.adjusted(2, 1, -2, -1);  // inside the focus frame
            RowInk a = InkOf(ours, area), b = InkOf(theirs, area);
            EXPECT_EQ(a.top, b.top);
            EXPECT_NEAR(a.bottom, b.bottom, 1);
            EXPECT_NEAR(a.left, b.left, 1);
            EXPECT_NEAR(a.amount, b.amount, b.amount / 8);
            EXPECT_LE(a.right, area.right() - 1);  // cut inside the margin
            EXPECT_EQ(a.endsInDots, b.endsInDots);
            cut += b.endsInDots;
        }
    }
    EXPECT_GT(cut, 10);
    EXPECT_GT(shaped, 1);
}

}  // namespace
