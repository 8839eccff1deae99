// The common ground of the shell's tests: a private registry, a zeroed AppState,
// scripted message boxes and an empty message queue before and after each test.
#pragma once

#include <gtest/gtest.h>

#include "TempConfig.h"
#include "platform/TestHooks.h"
#include "platform/Utf16.h"
#include "platform/qt/QtWindow.h"
#include "content/Content.h"
#include "shell/AppState.h"
#include "shell/Bookmarks.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"

// The exit sequence posts the quit message; a later test's loop must not see it.
// A paint stays in the queue until the window is valid again, so it is dispatched.
inline void DrainMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) DispatchMessageW(&msg);
    }
}

// Whether the quit message, with exit code 0, is waiting; the queue is emptied on the way.
inline bool QuitPosted() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return msg.wParam == 0;
    }
    return false;
}

class ShellTest : public testing::Test {
protected:
    TempConfig config;

    void SetUp() override {
        ResetAppState();
        gSettingsLoaded = false;
        ScriptMessageBoxes({});
        DrainMessages();
    }
    void TearDown() override {
        if (gApp.articleView) DestroyArticleView(gApp.articleView, TRUE);
        gApp.articleView = nullptr;
        FreeBookmarks();
        FreeIndexIcons();
        gSettingsLoaded = false;
        StopMessageBoxScript();
        DrainMessages();
    }

    static StoredValue Product(LPCWSTR name) { return QueryValue(kProductKey, name); }
    static void SetProduct(LPCWSTR name, DWORD type, const std::vector<BYTE>& data) {
        SetValue(kProductKey, name, type, data);
    }
};

// A main window made as the program's entry makes it, on the offscreen Qt platform.
class ReaderTest : public ShellTest {
protected:
    HWND window = nullptr;

    // The vendor options (gApp.useMenuBar, gApp.SurroundingGutter...) are set by the test first.
    HWND Start() {
        gApp.instance = GetModuleHandleW(nullptr);
        window = StartMainWindow(SW_SHOW);
        return window;
    }
    // Started on an article in a client area of width x height, painted once.
    void StartOn(int article, int width, int height) {
        SetProduct(u"Lesson", REG_DWORD, DwordBytes(article));
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, width, height);
        RepaintNow(window, kPaintAll);
    }
    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        window = nullptr;
        ShellTest::TearDown();
    }
    ArticleView* View() const { return gApp.articleView; }

    static void SetClientSize(HWND w, int width, int height) {
        RECT frame, client;
        GetWindowRect(w, &frame);
        GetClientRect(w, &client);
        MoveWindow(w, frame.left, frame.top, width + (frame.right - frame.left) - client.right,
                   height + (frame.bottom - frame.top) - client.bottom, TRUE);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(window, message, wParam, lParam);
    }
    // A key as the message loop hands it over, with the modifier keys (kKey* bits) it came with.
    void Key(WPARAM key, int modifiers = 0) {
        DrainMessages();
        PostInputMessage(window, WM_KEYDOWN, key, 0, modifiers);
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        DispatchMessageW(&msg);
    }
    // The check mark of a menu item, found the way the program finds it.
    static bool Checked(UINT item, LPARAM menuButton) {
        HMENU menu = gApp.useMenuBar ? (HMENU)SendMessageW(gApp.barWindow, SHCMBM_GETSUBMENU, 0, menuButton)
                                     : CommandBar_GetMenu(gApp.barWindow, 0);
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        GetMenuItemInfoW(menu, item, FALSE, &info);
        return (info.fState & MFS_CHECKED) != 0;
    }
};

// Pixels of a rectangle of the window's picture drawn exactly in a colour.
inline int WindowPixelsOf(HWND window, COLORREF colour, const RECT& r) {
    QImage image = WindowOf(window)->image;
    QRgb want = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    int n = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) n += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return n;
}

// Whether a view holds article n: its first record (style, indent, title) is n's.
inline bool HoldsArticle(const ArticleView* view, int n) {
    if (!view || !view->article) return false;
    int status = 0;
    BYTE* expected = LoadContent(n, &status);
    if (!expected) return false;
    size_t length = 2 + std::strlen((const char*)expected + 2) + 1;
    bool same = std::memcmp(view->article, expected, length) == 0;
    std::free(expected);
    return same;
}
