// Screen readers: the article view as accessible text (title, shown lines, whole
// text) on the offscreen platform.
#include <QAccessible>

#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "shell/Export.h"

namespace {

class AccessibleReader : public ReaderTest {
  public:
    void SetUp() override {
        ReaderTest::SetUp();
        EnsureWindowLayer();
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, 240, 320);
        RepaintNow(window, kPaintAll);
    }
    void TearDown() override {
        ReaderTest::TearDown();
    }
    QAccessibleInterface* Article() { return QAccessible::queryAccessibleInterface(WidgetOf(window)->focusProxy()); }
};

}  // namespace

TEST_F(AccessibleReader, TheArticleIsTextNamedByItsTitleWithItsShownLinesAndWholeText) {
    QAccessibleInterface* article = Article();
    ASSERT_NE(article, nullptr);
    EXPECT_EQ(article->role(), QAccessible::Document);
    EXPECT_TRUE(article->state().readOnly && article->state().multiLine);
    EXPECT_EQ(article->text(QAccessible::Name), "Welcome to this handbook");
    QAccessibleTextInterface* text = article->textInterface();
    ASSERT_NE(text, nullptr);
    QString whole = text->text(0, text->characterCount());
    QString shown = article->text(QAccessible::Value);
    EXPECT_TRUE(whole.startsWith("Welcome to this handbook"));
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_LT(shown.size(), whole.size());
    EXPECT_EQ(text->cursorPosition(), 0);

    // Paging on: other lines are shown and the caret follows them.
    Send(WM_KEYDOWN, VK_NEXT);
    QString later = Article()->text(QAccessible::Value);
    EXPECT_NE(later, shown);
    EXPECT_EQ(text->cursorPosition(), whole.indexOf(later));
    EXPECT_GT(text->cursorPosition(), 0);

    Send(WM_COMMAND, kCmdNextArticle);
    EXPECT_NE(Article()->text(QAccessible::Name), "Welcome to this handbook");
}

// Right-to-left text reaches the listener in logical order, as Copy gives it, with
// line feeds alone ending the lines (indents and rules, Copy's dashes, aside).
TEST_F(AccessibleReader, HebrewIsGivenInLogicalOrder) {
    gApp.fontSettings.FontAsciiBase = 1488;
    Send(WM_COMMAND, kCmdNextArticle);
    while (gApp.currentArticle != 34) Send(WM_COMMAND, kCmdNextArticle);
    QAccessibleTextInterface* text = Article()->textInterface();
    ASSERT_NE(text, nullptr);
    QString whole = text->text(0, text->characterCount());
    bool hebrew = false;
    for (QChar c : whole) hebrew = hebrew || (c.unicode() >= 0x05D0 && c.unicode() <= 0x05EA);
    EXPECT_TRUE(hebrew);
    WCHAR* copy = RenderExportText(WholeArticle(View()->article));
    ASSERT_NE(copy, nullptr);
    auto bare = [](QString s) { return s.remove(' ').remove('-'); };
    EXPECT_FALSE(whole.contains('\r'));
    EXPECT_EQ(bare(whole), bare(QString::fromUtf16((const char16_t*)copy).replace("\r\n", "\n")));
    free(copy);
}

// The reader is a frame holding the article's text and, beside it, the command
// bar; parents and children agree.
TEST_F(AccessibleReader, TheCommandBarStandsBesideTheArticleNotInsideIt) {
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(WidgetOf(window));
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(WidgetOf(gApp.barWindow));
    ASSERT_TRUE(frame && bar);
    EXPECT_EQ(bar->role(), QAccessible::ToolBar);
    EXPECT_EQ(Article()->indexOfChild(bar), -1);
    for (QAccessibleInterface* child : {Article(), bar}) {
        EXPECT_EQ(child->parent(), frame);
        EXPECT_EQ(frame->child(frame->indexOfChild(child)), child);
    }
    ASSERT_GT(bar->childCount(), 0);
    EXPECT_EQ(bar->child(0)->parent(), bar);
}

class AccessibleArticle : public AccessibleReader {
  public:
    // The article of a number at the Unicode Hebrew base, as the listener sees it.
    QAccessibleTextInterface* Open(int number) {
        gApp.fontSettings.FontAsciiBase = 1488;
        while (gApp.currentArticle != number) Send(WM_COMMAND, kCmdNextArticle);
        RepaintNow(window, kPaintAll);
        return Article()->textInterface();
    }
    int FirstOf(QAccessibleTextInterface* text, char16_t low, char16_t high) {
        QString whole = text->text(0, text->characterCount());
        for (int i = 0; i < whole.size(); i++)
            if (whole[i].unicode() >= low && whole[i].unicode() <= high) return i;
        return -1;
    }
};

// Every shown letter has a box on the screen, and the box's middle leads back to
// it, in Latin and Hebrew paragraphs alike; each paragraph tells its language.
TEST_F(AccessibleArticle, ShownLettersHaveBoxesThatLeadBackAndParagraphsTellTheirLanguage) {
    struct Case {
        int article;
        char16_t low, high;
        const char* attributes;
    };
    for (Case c : {Case{1, u'a', u'z', "language:en;writing-mode:lr;"},
                   Case{33, u'\u05D0', u'\u05EA', "language:he;writing-mode:rl;"}}) {
        QAccessibleTextInterface* text = Open(c.article);
        ASSERT_NE(text, nullptr);
        int first = FirstOf(text, c.low, c.high);
        ASSERT_GE(first, 0) << c.article;
        int boxes = 0;
        for (int i = first; i < first + 30 && i < text->characterCount(); i++) {
            QRect box = text->characterRect(i);
            if (box.isEmpty() || text->text(i, i + 1) == " ") continue;
            boxes++;
            EXPECT_EQ(text->offsetAtPoint(box.center()), i) << c.article << " at " << i;
        }
        EXPECT_GT(boxes, 10) << c.article;
        int start = -1, end = -1;
        EXPECT_EQ(text->attributes(first, &start, &end), c.attributes);
        EXPECT_LE(start, first);
        EXPECT_GT(end, first);
    }
}

// What the listener asks outside the text gets the failure answer and changes
// nothing; a selection may be given in either order, and is the one drawn.
TEST_F(AccessibleArticle, OffsetsOutsideTheTextFailAndSelectionsGoBothWays) {
    QAccessibleTextInterface* text = Open(1);
    int count = text->characterCount();
    text->setCursorPosition(7);
    EXPECT_EQ(text->cursorPosition(), 7);
    int start = 0, end = 0;
    for (int bad : {-1, count + 1, 1 << 30, -(1 << 30)}) {
        text->setCursorPosition(bad);
        EXPECT_EQ(text->cursorPosition(), 7) << bad;
        EXPECT_TRUE(text->text(bad, bad + 2).isEmpty()) << bad;
        EXPECT_TRUE(text->characterRect(bad).isEmpty()) << bad;
        EXPECT_TRUE(text->attributes(bad, &start, &end).isEmpty()) << bad;
        text->setSelection(0, bad, 3);
        EXPECT_EQ(text->selectionCount(), 0) << bad;
    }
    EXPECT_TRUE(text->text(9, 3).isEmpty());
    text->setSelection(0, 12, 3);
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(3, 12));
    EXPECT_TRUE(HasSelection(View()));
    text->removeSelection(0);
    EXPECT_EQ(text->selectionCount(), 0);
    EXPECT_FALSE(HasSelection(View()));
}

// F7: the arrows move the caret instead of changing the article; F7 again gives
// them back.
TEST_F(AccessibleArticle, CaretBrowsingMovesTheCaretWithTheArrows) {
    QAccessibleTextInterface* text = Open(1);
    Send(WM_COMMAND, kCmdCaretMode);
    int caret = text->cursorPosition();
    Send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(text->cursorPosition(), caret + 1);
    Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_GT(text->cursorPosition(), caret + 1);
    EXPECT_EQ(gApp.currentArticle, 1);
    Send(WM_COMMAND, kCmdCaretMode);
    Send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(gApp.currentArticle, 2);
}
