// The main window: start-up with stored settings, the view's place inside the window,
// the scroll bar, the check marks, the ways out, and a window that lost its view.
#include <cstdint>
#include <filesystem>

#include <QScrollBar>

#include "ShellFixture.h"
#include "platform/qt/QtWindow.h"
#include "reader/StatusLine.h"
#include "shell/Memory.h"

namespace {

class MainWindow : public ReaderTest {};

struct ViewRect {
    int left, top, width, height;
    bool operator==(const ViewRect&) const = default;
};
std::ostream& operator<<(std::ostream& os, const ViewRect& r) {
    return os << r.left << "," << r.top << " " << r.width << "x" << r.height;
}
ViewRect RectOf(const ArticleView* v) { return {v->left, v->top, v->width, v->height}; }

}  // namespace

TEST_F(MainWindow, StartsWithTheStoredArticleAtTheStoredRow) {
    SetProduct(u"Lesson", REG_DWORD, DwordBytes(12));
    SetProduct(u"LastPosition", REG_DWORD, DwordBytes(40));
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(gApp.mainWindow, window);
    EXPECT_EQ(gApp.currentArticle, 12);
    ASSERT_NE(View(), nullptr);
    EXPECT_TRUE(HoldsArticle(View(), 12));
    EXPECT_GT(View()->lineCount, 0);
    // The stored row, or the last page when the window (placed after the start)
    // shows the article's end from an earlier row: the place is kept by its text.
    EXPECT_TRUE(View()->topRow == 40 || View()->topRow == View()->maxTopRow) << View()->topRow;
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(MainWindow, FirstRunShowsArticleOneFromTheTop) {
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(gApp.currentArticle, 1);
    EXPECT_EQ(gApp.lastPosition, 0);
    EXPECT_EQ(View()->topRow, 0);
    EXPECT_TRUE(HoldsArticle(View(), 1));
}

TEST_F(MainWindow, AnArticleThatCannotBeLoadedLeavesTheViewEmptyAndNavigationWorks) {
    SetProduct(u"Lesson", REG_DWORD, DwordBytes(200));
    SetProduct(u"LastPosition", REG_DWORD, DwordBytes(5));
    ASSERT_NE(Start(), nullptr);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    const MessageBoxCall& box = RecordedMessageBoxes()[0];
    EXPECT_EQ(box.owner, window);
    EXPECT_EQ(box.text, u"Resource not found");
    EXPECT_EQ(box.caption, u"Error");
    EXPECT_EQ(box.style, (UINT)MB_ICONEXCLAMATION);
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(View()->article, nullptr);
    EXPECT_EQ(View()->topRow, 0);

    Send(WM_PAINT);
    Send(WM_KEYDOWN, VK_NEXT);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_RIGHT), 0);
    EXPECT_EQ(gApp.currentArticle, 1);
    EXPECT_TRUE(HoldsArticle(View(), 1));
}

// Gutter 10 on a client area of 240 x 268 with a menu bar 26 high.
TEST_F(MainWindow, TheViewSitsInsideTheGutterAndTheBar) {
    ASSERT_NE(Start(), nullptr);
    DestroyArticleView(gApp.articleView, TRUE);
    gApp.articleView = nullptr;
    SetClientSize(window, 240, 268);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, 240);
    ASSERT_EQ(client.bottom, 268);

    struct Case {
        BOOL menuBar;
        int gutter;
        ViewRect created, resized;
    };
    const Case cases[] = {
        {TRUE, 10, {10, 10, 210, 212}, {10, 10, 220, 222}},
        {TRUE, 200, {0, 0, 240, 242}, {0, 0, 240, 242}},
        {TRUE, 0, {0, 0, 240, 242}, {0, 0, 240, 242}},
        {FALSE, 10, {10, 36, 210, 212}, {10, 36, 220, 222}},
    };
    for (const Case& c : cases) {
        gApp.useMenuBar = c.menuBar;
        gApp.barHeight = 26;
        gApp.SurroundingGutter = c.gutter;
        EXPECT_EQ(OpenArticleView(window), 0);
        ASSERT_NE(View(), nullptr);
        // The status line takes its height from under the view.
        int status = StatusLineHeight(window);
        ViewRect created = c.created, resized = c.resized;
        created.height -= status;
        resized.height -= status;
        EXPECT_EQ(RectOf(View()), created) << c.gutter;
        ResizeForWindow(window, MAKELPARAM(240, 268));
        EXPECT_EQ(RectOf(View()), resized) << c.gutter;
        ReleaseDC(window, View()->surface);
        DestroyArticleView(gApp.articleView, TRUE);
        gApp.articleView = nullptr;
    }
}

TEST_F(MainWindow, TheScrollBarFollowsTheViewOnlyWhenFlagsAskForIt) {
    SetProduct(u"Flags", REG_DWORD, DwordBytes(0x40));
    ASSERT_NE(Start(), nullptr);
    ASSERT_NE(ScrollBarOf(window), nullptr);
    ASSERT_GT(View()->maxTopRow, 3);
    Send(WM_KEYDOWN, VK_DOWN);
    Send(WM_KEYDOWN, VK_DOWN);
    SCROLLINFO info = {sizeof info, SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
    EXPECT_EQ(info.nPos, 2);
    EXPECT_EQ(info.nMin, 0);
    // Positions are top rows; the thumb is the share of the rows the last page shows.
    EXPECT_EQ(info.nMax, View()->rowCount - 1);
    EXPECT_EQ(info.nPage, (UINT)(View()->rowCount - View()->maxTopRow));
    DestroyWindow(window);

    SetProduct(u"Flags", REG_DWORD, DwordBytes(0xD1140000));
    ResetAppState();
    ASSERT_NE(Start(), nullptr);
    EXPECT_TRUE(ScrollBarOf(window) == nullptr || !ScrollBarOf(window)->isVisible());
    int before = View()->topRow;
    Send(WM_KEYDOWN, VK_DOWN);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(View()->topRow, before + 2);
    info = {sizeof info, SIF_ALL};
    GetScrollInfo(window, SB_VERT, &info);
    EXPECT_EQ(info.nPos, 0);
    EXPECT_EQ(info.nMax, 0);
}

TEST_F(MainWindow, CheckMarksFollowReverseAndTheBookmark) {
    for (BOOL menuBar : {FALSE, TRUE}) {
        ResetAppState();
        SetProduct(u"Flags", REG_DWORD, DwordBytes(0xD1140840));
        SetProduct(u"Lesson", REG_DWORD, DwordBytes(4));
        SetProduct(u"Bookmarks", REG_BINARY, {4, 0, 0, 0});
        gApp.useMenuBar = menuBar;
        ASSERT_NE(Start(), nullptr);
        ASSERT_NE(gApp.barWindow, nullptr);
        EXPECT_TRUE(Checked(kCmdReverse, kCmdFileMenu)) << menuBar;
        EXPECT_TRUE(Checked(kCmdBookmark, kCmdGoMenu)) << menuBar;

        BYTE* article = View()->article;
        Send(WM_COMMAND, kCmdReverse);
        EXPECT_FALSE(gApp.Flags & kFlagReverse);
        EXPECT_FALSE(Checked(kCmdReverse, kCmdFileMenu));
        Send(WM_COMMAND, kCmdReverse);
        EXPECT_TRUE(gApp.Flags & kFlagReverse);
        EXPECT_TRUE(Checked(kCmdReverse, kCmdFileMenu));
        EXPECT_EQ(View()->article, article);

        ScriptMessageBoxes({IDNO, IDYES});
        Send(WM_COMMAND, kCmdBookmark);
        EXPECT_TRUE(Checked(kCmdBookmark, kCmdGoMenu));
        Send(WM_COMMAND, kCmdBookmark);
        EXPECT_FALSE(Checked(kCmdBookmark, kCmdGoMenu));
        EXPECT_EQ(gApp.bookmarkCount, 0);
        Send(WM_COMMAND, kCmdBookmark);
        EXPECT_TRUE(Checked(kCmdBookmark, kCmdGoMenu));
        EXPECT_EQ(RecordedMessageBoxes().size(), 2u);
        DestroyWindow(window);
        EXPECT_EQ(Product(u"Bookmarks").data, (std::vector<BYTE>{4, 0, 0, 0}));
        DrainMessages();
    }
}

TEST_F(MainWindow, EveryWayOutRunsTheExitSequence) {
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
        UINT posFlags;
        bool ends;
    };
    const Way ways[] = {
        {"Exit", WM_COMMAND, kCmdExit, 0, true},
        {"message 1023", kMsgCloseFromOutside, 0, 0, true},
        {"position change 0x10010", WM_WINDOWPOSCHANGED, 0, 0x10010, true},
        {"position change 0x10", WM_WINDOWPOSCHANGED, 0, SWP_NOACTIVATE, false},
        {"position change 0x10000", WM_WINDOWPOSCHANGED, 0, 0x10000, false},
    };
    for (const Way& way : ways) {
        ResetAppState();
        std::filesystem::remove(config.RegistryPath());
        ForgetRegistry();
        ASSERT_NE(Start(), nullptr);
        Send(WM_KEYDOWN, VK_RIGHT);
        WINDOWPOS pos = {};
        pos.hwnd = window;
        pos.flags = way.posFlags;
        Send(way.message, way.wParam, way.message == WM_WINDOWPOSCHANGED ? (LPARAM)&pos : 0);
        EXPECT_EQ(!IsWindow(window), way.ends) << way.name;
        if (!way.ends) DestroyWindow(window);
        EXPECT_EQ(Product(u"Lesson").data, DwordBytes(2)) << way.name;
        EXPECT_EQ(gApp.articleView, nullptr);
        EXPECT_TRUE(QuitPosted()) << way.name;
    }
}

// After the memory-exhaustion exit the window still gets messages until the quit
// message is retrieved: none of them may reach the destroyed view.
TEST_F(MainWindow, AWindowWithoutItsViewTakesEveryMessageHarmlessly) {
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(CheckedAlloc(SIZE_MAX), nullptr);
    ASSERT_EQ(gApp.articleView, nullptr);
    StoredValue lesson = Product(u"Lesson");

    Send(WM_PAINT);
    RepaintNow(window, kPaintAll);
    for (WPARAM key : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_UP, VK_DOWN, VK_RETURN})
        EXPECT_EQ(Send(WM_KEYDOWN, key), 0);
    for (int code = SB_LINEUP; code <= SB_ENDSCROLL; code++) EXPECT_EQ(Send(WM_VSCROLL, MAKEWPARAM(code, 3)), 1);
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100));
    Send(WM_SIZE, 0, MAKELPARAM(300, 300));
    for (WPARAM command : {kCmdNextArticle, kCmdPreviousArticle, kCmdReverse, kCmdBookmark, kCmdCopy, kCmdAppend})
        EXPECT_EQ(Send(WM_COMMAND, command), 0);
    Send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(gApp.currentArticle, 1);

    // The second exit sequence writes nothing over what the first one stored.
    DestroyWindow(window);
    EXPECT_EQ(Product(u"Lesson").data, lesson.data);
    EXPECT_EQ(Product(u"Bookmarks").data, (std::vector<BYTE>{0, 0}));
}

TEST_F(MainWindow, TodayInAnyLetterCaseStartsAsAnEmptyCommandLine) {
    std::vector<std::string> files;
    for (const char16_t* line : {u"", u"/today", u"/ToDaY"}) {
        std::filesystem::remove(config.RegistryPath());
        ForgetRegistry();
        std::u16string commandLine = line;
        gExitAfterFirstPaint = true;
        testing::internal::CaptureStdout();
        EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOW), 0);
        EXPECT_NE(testing::internal::GetCapturedStdout().find("first-paint-ns "), std::string::npos);
        EXPECT_FALSE(gExitAfterFirstPaint);
        EXPECT_EQ(FindWindowW(kMainWindowClass, kMainWindowTitle), nullptr);
        files.push_back(config.ReadRegistryFile());
    }
    EXPECT_NE(files[0].find("\"Lesson\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_EQ(files[2], files[0]);
}

// There is no shell task bar on the desktop; a window of its class stands in for it.
TEST_F(MainWindow, FullScreenHidesTheTaskBarForTheRunOnly) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = u"HHTaskBar";
    RegisterClassW(&wc);
    HWND taskBar = CreateWindowExW(0, u"HHTaskBar", u"", WS_VISIBLE, 0, 0, 240, 26, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    ASSERT_NE(taskBar, nullptr);
    ASSERT_TRUE(IsWindowVisible(taskBar));

    gFullScreen = TRUE;
    gTaskBarWindow = FindWindowW(u"HHTaskBar", u"");
    ASSERT_EQ(gTaskBarWindow, taskBar);
    ASSERT_NE(Start(), nullptr);
    EXPECT_FALSE(IsWindowVisible(taskBar));
    // The command bar is hidden but the view still leaves its height free.
    EXPECT_FALSE(IsWindowVisible(gApp.barWindow));
    EXPECT_GT(gApp.barHeight, 0);
    EXPECT_EQ(View()->top, gApp.barHeight);
    DestroyWindow(window);
    ShowWindow(taskBar, SW_SHOW);

    SetValue(kVendorKey, u"FullScreen", REG_DWORD, DwordBytes(1));
    for (bool visibleAtStart : {true, false}) {
        ShowWindow(taskBar, visibleAtStart ? SW_SHOW : SW_HIDE);
        gExitAfterFirstPaint = true;
        testing::internal::CaptureStdout();
        EXPECT_EQ(WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW), 0);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(gTaskBarWindow, taskBar);
        EXPECT_EQ(IsWindowVisible(taskBar) != 0, visibleAtStart);
    }
    DestroyWindow(taskBar);
}
