// The main window's messages: creation and destruction, paging by keys, taps and the
// scroll bar, activation, and the ways the program is ended from outside.
#include <cstdlib>

#include "../resources/Dialogs.h"
#include "About.h"
#include "AppState.h"
#include "Bookmarks.h"
#include "../reader/CaretMode.h"
#include "../reader/FontSize.h"
#include "../reader/FullScreen.h"
#include "../reader/Highlights.h"
#include "../reader/LinkView.h"
#include "../reader/NotesStore.h"
#include "../reader/Paging.h"
#include "../reader/ReadingColumn.h"
#include "MainWindow.h"
#include "Search.h"
#include "../reader/SaveSoon.h"
#include "../reader/Selection.h"
#include "../reader/SidePanel.h"
#include "Settings.h"
#include "../reader/WindowPlacement.h"

namespace {

// The shell keeps its activation record here; nothing in the program reads it.
SHACTIVATEINFO gActivateInfo = {sizeof(SHACTIVATEINFO), nullptr, 0, 0, 0, 0};

// A paging field (bits 20-22 for keys, 24-26 for taps) of 2 or 4 means half the rows
// shown; anything else the rows shown less one.
int PageAmount(int shift, int rowsPainted) {
    uint32_t field = (gApp.Flags >> shift) & kPageFieldMask;
    return field == 2 || field == 4 ? rowsPainted / 2 : rowsPainted - 1;
}

void ScrollBy(HWND window, ArticleView* view, int rows) {
    ScrollArticleView(view, rows, 1, 1);
    UpdateScrollBar(window);
}

void OnCreate(HWND window) {
    gApp.mainWindow = window;
    CreateCommandBars();
    OpenArticleView(window);
    CreateSidePanel(window);
    EnableArticleLinks();
    EnableHighlights();
    UpdateReverseCheck(window, kCheckSet);
    UpdateNightCheck(window, kCheckSet);
    UpdateFullScreenCheck();
    UpdateReadingColumnChecks();
    UpdateCaretModeCheck();
    UpdateBookmarkCheck(window, kCheckSet);
    LoadNotesAtStart(window);
    // Placed before it is first shown, so that it opens where it was left.
    if (!gFullScreen) PlaceMainWindow(window);
}

void OnDestroy(HWND window) {
    if (gApp.articleView) ReleaseDC(window, gApp.articleView->surface);
    if (gApp.barWindow) DestroyWindow(gApp.barWindow);
    gApp.barWindow = nullptr;
    ExitProgram();
}

bool KeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

// Ctrl with plus or minus steps the font size, Ctrl+0 goes back to the default.
bool OnFontSizeKey(HWND window, WPARAM key) {
    if (!KeyDown(VK_CONTROL)) return false;
    switch (key) {
        case VK_OEM_PLUS:
        case VK_ADD: StepFontSize(window, 1); return true;
        case VK_OEM_MINUS:
        case VK_SUBTRACT: StepFontSize(window, -1); return true;
        case '0':
        case VK_NUMPAD0: ResetFontSize(window); return true;
        default: return false;
    }
}

// The wheel scrolls by the desktop's lines a notch; with Ctrl it steps the font size.
void OnWheel(HWND window, WPARAM wParam) {
    static int sRowRest, sSizeRest;
    int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
        StepFontSize(window, TakeWheelSteps(&sSizeRest, delta, 1));
        return;
    }
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int rows = -TakeWheelSteps(&sRowRest, delta, (int)lines);
    if (rows && gApp.articleView) ScrollBy(window, gApp.articleView, rows);
}

// 0 for a key of the table, 1 for any other (which is not passed on).
LRESULT OnKeyDown(HWND window, WPARAM key) {
    ArticleView* view = gApp.articleView;
    if (OnFontSizeKey(window, key) || LinkKey(window, key) || CaretKey(window, key)) return 0;
    // Space reads on as on the desktop: forward, or back with Shift, across articles.
    if (key == VK_SPACE) {
        if (view) ReadOn(window, view, KeyDown(VK_SHIFT) ? -PageAmount(kKeyPageShift, view->rowsPainted)
                                                          : PageAmount(kKeyPageShift, view->rowsPainted));
        return 0;
    }
    switch (key) {
        case VK_RETURN:
            if (gApp.searchString[0]) FindNext(window);
            return 0;
        case VK_LEFT:
            PreviousArticle(window);
            return 0;
        case VK_RIGHT:
            NextArticle(window);
            return 0;
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_UP:
        case VK_DOWN:
            break;
        default:
            return 1;
    }
    if (!view) return 0;
    // The sign goes on after the amount: with rows painted 0 a page forward is one row back.
    int page = PageAmount(kKeyPageShift, view->rowsPainted);
    int rows = 0;
    switch (key) {
        case VK_PRIOR: PageArticle(window, view, -page); return 0;
        case VK_NEXT: PageArticle(window, view, page); return 0;
        // To the last page from any row, not by the maximum top row from here.
        case VK_END: rows = view->maxTopRow ? view->maxTopRow - view->topRow : page; break;
        case VK_HOME: rows = view->topRow ? -view->topRow : -page; break;
        case VK_UP: rows = -1; break;
        case VK_DOWN: rows = 1; break;
    }
    ScrollBy(window, view, rows);
    return 0;
}

// The scroll bar always pages by a full page.
int ScrollBarAmount(const ArticleView* view, int code, int position) {
    switch (code) {
        case SB_LINEUP: return -1;
        case SB_LINEDOWN: return 1;
        case SB_PAGEUP: return 1 - view->rowsPainted;
        case SB_PAGEDOWN: return view->rowsPainted - 1;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: return position - view->topRow;
        case SB_TOP: return -view->topRow;
        case SB_BOTTOM: return 1;
        default: return 0;
    }
}

void OnScroll(HWND window, WPARAM wParam, LPARAM lParam) {
    ArticleView* view = gApp.articleView;
    int rows = view ? ScrollBarAmount(view, LOWORD(wParam), (SHORT)HIWORD(wParam)) : 0;
    if (rows) ScrollArticleView(view, rows, 1, 1);
    DefWindowProcW(window, WM_VSCROLL, wParam, lParam);
    if (rows) UpdateScrollBar(window);
}

}  // namespace

void TapPage(HWND window, ArticleView* view, int x, int y) {
    if (!HitTestView(view, x, y) || !(gApp.Flags & kFlagTapPaging)) return;
    bool vertical = (gApp.Flags & kFlagTapVertical) != 0;
    int c = vertical ? y : x;
    int mid = vertical ? view->top + view->height / 2 : view->left + view->width / 2;
    int page = std::abs(PageAmount(kTapPageShift, view->rowsPainted));
    PageArticle(window, view, c < mid ? -page : page);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SaveSoonMessage(window, message, wParam)) return 0;
    if (NotesStoreMessage(window, message, wParam)) return 0;
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_SIZE:
            ResizeBesideSidePanel(window, lParam);
            return 0;
        case WM_PAINT:
            PaintMainWindow((HDC)wParam, window, kPaintAll);
            return 0;
        case WM_ERASEBKGND:
            EraseMainWindow(window, (HDC)wParam);
            return 1;
        case WM_ACTIVATE:
            if (gIgnoreActivate) return DefWindowProcW(window, message, wParam, lParam);
            if (LOWORD(wParam) != WA_INACTIVE) SHFullScreen(window, gFullScreen ? kFullScreenState : SHFS_HIDESIPBUTTON);
            return 0;
        case WM_SETTINGCHANGE:
            SHHandleWMSettingChange(window, wParam, lParam, &gActivateInfo);
            return 0;
        case WM_WINDOWPOSCHANGED: {
            // The shell closes the program with this combination.
            const WINDOWPOS* pos = (const WINDOWPOS*)lParam;
            if (pos && (pos->flags & 0xFFFF0000) && (pos->flags & SWP_NOACTIVATE)) DestroyWindow(window);
            return 0;
        }
        case WM_HELP:
            RunDialog(kAboutDialogId, window, AboutDialogProc, 0);
            return 0;
        case WM_KEYDOWN:
            return OnKeyDown(window, wParam);
        case WM_MOUSEWHEEL:
            OnWheel(window, wParam);
            return 0;
        case WM_COMMAND:
            if (HandleCommand(window, wParam)) return DefWindowProcW(window, message, wParam, lParam);
            return 0;
        case WM_VSCROLL:
            OnScroll(window, wParam, lParam);
            return 1;
        case WM_XBUTTONDOWN:
            GoThroughHistory(window, GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? -1 : 1);
            return TRUE;
        case WM_LBUTTONDOWN:
            PointerDown(window, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_MOUSEMOVE:
            PointerMove(window, wParam, (SHORT)LOWORD(lParam), (SHORT)HIWORD(lParam));
            return 0;
        case WM_LBUTTONUP:
            PointerUp(window);
            return 0;
        case WM_LBUTTONDBLCLK:
            PointerDoubleClick(window, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_TIMER:
            PointerTimer(window, wParam);
            return 0;
        case WM_CONTEXTMENU:
            ShowArticleMenu(window, lParam);
            return 0;
        case kMsgCloseFromOutside:
            DestroyWindow(window);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
