// Going back and forward through the articles visited, and the Go To Article dialog.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <functional>

#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "resources/Dialogs.h"
#include "reader/GoToDialog.h"
#include "reader/History.h"
#include "shell/Search.h"

namespace {

TEST(HistoryList, StepsBackAndForwardAndANewVisitDropsTheForwardList) {
    ClearHistory();
    HistoryEntry target;
    EXPECT_FALSE(PeekHistoryStep(-1, &target));
    RecordVisit({1, 5});
    RecordVisit({2, 7});
    ASSERT_TRUE(PeekHistoryStep(-1, &target));
    EXPECT_EQ(target.article, 2);
    EXPECT_EQ(target.topRow, 7);
    CommitHistoryStep(-1, {3, 0});  // now at 2, with 3 ahead
    ASSERT_TRUE(PeekHistoryStep(1, &target));
    EXPECT_EQ(target.article, 3);
    RecordVisit({2, 7});
    EXPECT_FALSE(PeekHistoryStep(1, &target));
    EXPECT_EQ(gHistory.backCount, 2);
}

TEST(HistoryList, AFullListForgetsItsOldestPlace) {
    ClearHistory();
    for (int i = 1; i <= kHistoryDepth + 5; i++) RecordVisit({(uint16_t)i, 0});
    EXPECT_EQ(gHistory.backCount, kHistoryDepth);
    EXPECT_EQ(gHistory.back[0].article, 6);
    HistoryEntry target;
    ASSERT_TRUE(PeekHistoryStep(-1, &target));
    EXPECT_EQ(target.article, kHistoryDepth + 5);
}

class HistoryReader : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ClearHistory();
        SetProduct(u"Lesson", REG_DWORD, DwordBytes(142));
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, 240, 320);
        View()->topRow = 9;
    }
    void TearDown() override {
        ClearHistory();
        ReaderTest::TearDown();
    }
    void Expect(int article, int topRow) {
        EXPECT_EQ(gApp.currentArticle, article);
        EXPECT_TRUE(HoldsArticle(View(), article));
        EXPECT_EQ(View()->topRow, topRow);
    }
};

}  // namespace

TEST_F(HistoryReader, BackAndForwardReturnToTheArticlesVisitedAndTheirPlaces) {
    Send(WM_COMMAND, kCmdNextArticle);
    View()->topRow = 3;
    ShowArticle(window, 5);
    Send(WM_COMMAND, kCmdBack);
    Expect(143, 3);
    Send(WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1));
    Expect(142, 9);
    Send(WM_COMMAND, kCmdBack);  // nothing further back
    Expect(142, 9);
    Send(WM_COMMAND, kCmdForward);
    Expect(143, 3);
    Send(WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON2));
    Expect(5, 0);
}

TEST_F(HistoryReader, AMoveThatFailsOrStaysOnTheArticleIsNotAVisit) {
    EXPECT_EQ(ShowArticle(window, 500), 1);
    ShowArticle(window, 142);
    EXPECT_EQ(gHistory.backCount, 0);
}

TEST_F(HistoryReader, ASearchHitInAnotherArticleIsAVisit) {
    SetSearchString(u"Cherokee", 8);
    ASSERT_EQ(FindNext(window), 1);
    ASSERT_NE(gApp.currentArticle, 142);
    Send(WM_COMMAND, kCmdBack);
    Expect(142, 9);
}

TEST(GoToNumber, OnlyTheCollectionsArticleNumbersAreTaken) {
    EXPECT_EQ(ArticleNumberOf(u"1"), 1);
    EXPECT_EQ(ArticleNumberOf(u"187"), 187);
    EXPECT_EQ(ArticleNumberOf(u"012"), 12);
    for (const char16_t* bad : {u"", u"0", u"188", u"999", u"1000", u"12a", u"-5", u" 7"})
        EXPECT_EQ(ArticleNumberOf(bad), 0) << QString::fromUtf16(bad).toStdString();
}

namespace {

// Runs the script inside the dialog's loop once it is on screen; returns the dialog's result.
INT_PTR RunGoTo(std::function<void(QLineEdit*, QLabel*)> script) {
    EnsureWindowLayer();
    QTimer timer;
    int tries = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == "Go To Article") dialog = w;
        if (++tries < 500 && !dialog) return;
        timer.stop();
        if (!dialog) return;
        QLabel* title = nullptr;
        for (QLabel* l : dialog->findChildren<QLabel*>())
            if (l->text() != "Article number:") title = l;
        script(dialog->findChild<QLineEdit*>(), title);
    });
    timer.start(10);
    return RunDialog(kGoToDialogId, nullptr, GoToDialogProc, 0);
}

void Settle() {
    for (int i = 0; i < 5; i++) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

void Type(QWidget* edit, const char* keys) {
    for (const char* k = keys; *k; k++) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(*k)));
        QCoreApplication::sendEvent(edit, &press);
    }
}

HWND DialogOf(QWidget* control) { return GetParent(WindowOfWidget(control)->handle); }

}  // namespace

TEST(GoToDialog, ShowsTheTitleAsTheNumberIsTypedAndGoesThereOnEnter) {
    ResetAppState();
    gApp.currentArticle = 7;
    INT_PTR result = RunGoTo([](QLineEdit* edit, QLabel* title) {
        ASSERT_TRUE(edit && title);
        EXPECT_EQ(edit->text(), "7");
        edit->clear();
        Type(edit, "14x2");  // only digits are taken
        EXPECT_EQ(edit->text(), "142");
        Settle();
        EXPECT_EQ(title->text(), "The History of Printing in Europe");
        edit->setText("188");
        Settle();
        EXPECT_EQ(title->text(), "Articles 1 to 187");
        HWND dialog = DialogOf(edit);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // not an article: the dialog stays
        EXPECT_TRUE(IsWindowVisible(dialog));
        edit->setText("12");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, 12);
}

TEST(GoToDialog, CancelChoosesNothing) {
    ResetAppState();
    INT_PTR result = RunGoTo([](QLineEdit* edit, QLabel*) {
        ASSERT_TRUE(edit);
        PostMessageW(DialogOf(edit), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 0);
}
