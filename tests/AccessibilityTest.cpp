// Screen readers: the article view as accessible text (title, shown lines, whole
// text) on the offscreen platform.
#include <QAccessible>

#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "shell/Export.h"

namespace {

class AccessibleReader : public ReaderTest {
  protected:
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
// line feeds alone ending the lines.
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
    EXPECT_EQ(whole, QString::fromUtf16((const char16_t*)copy).replace("\r\n", "\n"));
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
