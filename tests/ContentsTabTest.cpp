// The side panel's Contents through the real main window: the current article
// marked with its way open, the filter typed into its box, the tree's keys and
// clicks, and the opened headings kept across runs.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <set>

#include "ShellFixture.h"
#include "content/IndexRecords.h"
#include "platform/qt/QtWindow.h"
#include "reader/ContentsTab.h"
#include "reader/SidePanel.h"
#include "resources/Commands.h"

namespace {

class ContentsTabTest : public ReaderTest {
  protected:
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    void OpenOn(int article) {
        StartOn(article, 1000, 700);
        Send(WM_COMMAND, kCmdContentsTab);
        Pump();
        ASSERT_TRUE(ContentsTree());
    }
    static QLineEdit* FilterBox() {
        for (QLineEdit* edit : WidgetOf(SidePanelWindow())->findChildren<QLineEdit*>())
            if (edit->accessibleName() == QStringLiteral("Filter the contents")) return edit;
        return nullptr;
    }
    static QWidget* Tree() { return WindowOf(ContentsTreeWindow())->client; }
    // A key pressed on a widget, through the platform's input path.
    static void Press(QWidget* widget, int key, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(widget, &press);
        Pump();
    }
    static void TypeFilter(const QString& text) {
        FilterBox()->setText(text);
        Pump();
    }
    static std::string Caption(const IndexLine* line) {
        return line ? std::string((const char*)ContentsTree()->index + line->offset, line->count) : "";
    }
    static const IndexLine* Record(const std::string& caption) {
        for (const IndexLine* m = ContentsTree()->lines; m->style; m++)
            if (Caption(m) == caption) return m;
        return nullptr;
    }
    static bool Opened(const std::string& caption) {
        const IndexLine* m = Record(caption);
        return m && (m->style & kIndexShown) && (m->style & kIndexExpanded);
    }
    // The article numbers of the shown links, bookmarks left out.
    static std::set<int> ShownArticles() {
        std::set<int> out;
        for (const IndexLine* m = ContentsTree()->lines; m->style; m++)
            if ((m->key & kKeyLink) && (m->style & kIndexShown)) out.insert(m->key & kKeyNumberMask);
        return out;
    }
    static int MarkedArticle() {
        const IndexLine* m = FocusedLine(ContentsTree());
        return m && (m->key & kKeyLink) ? m->key & kKeyNumberMask : 0;
    }
};

TEST_F(ContentsTabTest, OpensAtTheCurrentArticleMarkedWithItsWayOpenAndItsBoxNamed) {
    OpenOn(36);
    ASSERT_NE(FilterBox(), nullptr);
    EXPECT_TRUE(FilterBox()->hasFocus());
    EXPECT_EQ(MarkedArticle(), 36);
    for (const char* heading : {"Letters and Scripts", "Alphabets", "The Hebrew Alphabet", "Alef to Yod"})
        EXPECT_TRUE(Opened(heading)) << heading;
    EXPECT_TRUE(ShownArticles().count(43));  // the whole heading is open, not the link alone
    // Reading another article moves the mark and opens its way.
    ShowArticle(window, 120);
    EXPECT_EQ(MarkedArticle(), 120);
    EXPECT_TRUE(Opened("Marks and Numbers"));
}

TEST_F(ContentsTabTest, TheFilterShowsTheArticlesWhoseWordsOrNumberStartWithWhatIsTyped) {
    OpenOn(1);
    std::set<int> twelve = {12};
    for (int n = 120; n <= 129; n++) twelve.insert(n);
    const struct {
        const char16_t* typed;
        std::set<int> shown;
    } cases[] = {
        {u"ta", {2, 55, 75, 186}},  // tallies, Tav, Tau, taps: any word's start
        {u"TAV", {55}},             // case-blind
        {u"tav let", {}},           // every word must match
        {u"  keys   glance ", {186}},
        {u"12", twelve},
        {u"av", {}},                // inside a word is no match
        {u"גימל", {}},              // Hebrew stays Hebrew: the Latin captions hold none
        {u"\xD800\u0301", {}},
    };
    for (const auto& c : cases) {
        TypeFilter(QString::fromUtf16(c.typed));
        EXPECT_EQ(ShownArticles(), c.shown) << QString::fromUtf16(c.typed).toStdString();
    }
    TypeFilter("tav");
    EXPECT_TRUE(Opened("Kaf to Tav"));  // the headings leading to a match stay shown, opened
    EXPECT_FALSE(Record("Marks and Numbers")->style & kIndexShown);
    Press(FilterBox(), Qt::Key_Return);
    EXPECT_EQ(gApp.currentArticle, 55);  // Enter reads the first match
    Press(FilterBox(), Qt::Key_Escape);
    EXPECT_TRUE(FilterBox()->text().isEmpty());
    EXPECT_TRUE(Record("Marks and Numbers")->style & kIndexShown);  // the tree as it was, way to 55 opened
    EXPECT_EQ(MarkedArticle(), 55);
}

// Over a window too narrow for both, reading an article steps the panel aside.
TEST_F(ContentsTabTest, InANarrowWindowReadingAnArticleShowsItInThePanelsPlace) {
    StartOn(1, 240, 320);
    Send(WM_COMMAND, kCmdContentsTab);
    Pump();
    ASSERT_TRUE(SidePanelShown());
    TypeFilter("tav");
    Press(FilterBox(), Qt::Key_Return);
    EXPECT_EQ(gApp.currentArticle, 55);
    EXPECT_FALSE(SidePanelShown());
    Send(WM_COMMAND, kCmdContentsTab);
    Pump();
    EXPECT_TRUE(SidePanelShown()) << "Ctrl+Shift+C brings it back";
}

TEST_F(ContentsTabTest, TheTreesKeysMoveTheMarkAndEnterOrAClickReads) {
    OpenOn(1);
    Press(FilterBox(), Qt::Key_Down);
    EXPECT_TRUE(Tree()->hasFocus());
    IndexView* view = ContentsTree();
    Press(Tree(), Qt::Key_End);
    EXPECT_EQ(Caption(FocusedLine(view)).rfind("Type, Print", 0), 0u);
    Press(Tree(), Qt::Key_Home);
    EXPECT_EQ(FocusedLine(view), &view->lines[0]);
    Press(Tree(), Qt::Key_M, "m");
    EXPECT_EQ(Caption(FocusedLine(view)), "Marks and Numbers");
    Press(Tree(), Qt::Key_Right);
    EXPECT_TRUE(Opened("Marks and Numbers"));
    Press(Tree(), Qt::Key_Left);
    EXPECT_FALSE(Opened("Marks and Numbers"));
    Press(Tree(), Qt::Key_Up);
    Press(Tree(), Qt::Key_Up);  // Letters and Scripts, then the link to article 1
    Press(Tree(), Qt::Key_Return);
    EXPECT_EQ(gApp.currentArticle, 1);
    Press(Tree(), Qt::Key_Home);
    Press(Tree(), Qt::Key_PageDown);
    EXPECT_GT(FocusedLine(view) - view->lines, 0);
    // A click on an article's number reads it and moves the mark there.
    Press(Tree(), Qt::Key_Home);
    Press(Tree(), Qt::Key_L, "l");
    Press(Tree(), Qt::Key_Right);  // Letters and Scripts opened: How Writing Began under it
    Press(Tree(), Qt::Key_Down);
    Press(Tree(), Qt::Key_Right);  // and opened: article 2 under it
    int y = view->top;
    for (const IndexLine* m = view->lines; m->style && m->key != (kKeyLink | 2); m++)
        if (m->style & kIndexShown) y += m->height;
    QPoint at(view->left + view->width + 10, y + 3);
    QMouseEvent click(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Tree(), &click);
    Pump();
    EXPECT_EQ(MarkedArticle(), 2);
    EXPECT_EQ(gApp.currentArticle, 2);
}

TEST_F(ContentsTabTest, OpenedHeadingsAreKeptInTheSettingsForTheNextRun) {
    OpenOn(1);
    Press(FilterBox(), Qt::Key_Down);
    Press(Tree(), Qt::Key_M, "m");
    Press(Tree(), Qt::Key_Right);
    SaveSettings();
    StoredValue stored = Product(u"ContentsOpened");
    ASSERT_EQ(stored.data.size() % 2, 0u);
    EXPECT_GE(stored.data.size(), 4u);  // Welcome (on the way to article 1) and Marks and Numbers
    DestroyWindow(window);
    ShellTest::TearDown();
    ShellTest::SetUp();
    OpenOn(1);
    EXPECT_TRUE(Opened("Marks and Numbers"));
    EXPECT_FALSE(Opened("Letters and Scripts"));
}

}  // namespace
