#include "MainWindow.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "../content/Content.h"
#include "../resources/Bitmaps.h"
#include "../views/Palette.h"
#include "../reader/Accessibility.h"
#include "../reader/KeepPlace.h"
#include "../reader/ContentsTab.h"
#include "../reader/ReadingColumn.h"
#include "../reader/StatusLine.h"
#include "AppState.h"

bool gExitAfterFirstPaint;

namespace {

constexpr UINT kMenuResource = 102;
constexpr int kToolImageCount = 6;

const TBBUTTON kToolButtons[kToolImageCount] = {
    {0, kCmdPreviousArticle, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
    {1, kCmdIndex, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
    {2, kCmdNextArticle, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
    {3, kCmdFont, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
    {4, kCmdSearch, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
    {5, kCmdSearchAgain, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
};

// The first entry is null; then the texts of the tool buttons in their order.
const WCHAR* const kToolTips[kToolImageCount + 1] = {
    nullptr, TEXT("Previous Article"), TEXT("Choose Article"), TEXT("Next Article"),
    TEXT("Choose Font"), TEXT("Search"), TEXT("Search Again"),
};

// Versions from 4.21 on always have the Pocket PC menu bar.
bool SystemHasMenuBar() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(&version);
    return version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion >= 21);
}

void CreateMenuBar() {
    SHMENUBARINFO info = {};
    info.cbSize = sizeof info;
    info.hwndParent = gApp.mainWindow;
    info.dwFlags = SHCMBF_HIDESIPBUTTON;
    info.nToolBarId = kMenuResource;
    info.hInstRes = gApp.instance;
    if (SHCreateMenuBar(&info)) gApp.barWindow = info.hwndMB;
    if (!gApp.barWindow) return;
    RECT r;
    GetWindowRect(gApp.barWindow, &r);
    gApp.barHeight = r.bottom - r.top;
    // Narrower by a scroll bar's width, whether or not the window has one.
    MoveWindow(gApp.barWindow, r.left, r.top, r.right - GetSystemMetrics(SM_CXVSCROLL) - r.left, gApp.barHeight,
               TRUE);
}

void CreateCommandBar() {
    gApp.barWindow = CommandBar_Create(gApp.instance, gApp.mainWindow, 1);
    if (!gApp.barWindow) return;
    gApp.barHeight = CommandBar_Height(gApp.barWindow);
    CommandBar_InsertMenubar(gApp.barWindow, gApp.instance, kMenuResource, 0);
}

// For start-up measurements: the moment of the first paint on the monotonic clock,
// the CPU time and peak memory until then, then the normal way out.
void ReportFirstPaintAndEnd(HWND window) {
    gExitAfterFirstPaint = false;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    long long cpuUs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
                      usage.ru_stime.tv_usec;
    std::printf("first-paint-ns %lld cpu-us %lld rss-kb %ld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec,
                cpuUs, usage.ru_maxrss);
    std::fflush(stdout);
    PostMessageW(window, kMsgCloseFromOutside, 0, 0);
}

}  // namespace

// The fitted gutter: a fortieth of the width, at least kLeastGutter pixels at 96 dpi.
constexpr int kGutterPerMille = 25;
constexpr int kLeastGutter = 8;

int32_t FittedGutter(HDC surface, int width) {
    int dpi = GetDeviceCaps(surface, LOGPIXELSX);
    if (dpi <= 0) dpi = 96;
    return std::max(width * kGutterPerMille / 1000, kLeastGutter * dpi / 96);
}

void CreateCommandBars() {
    if (SystemHasMenuBar()) gApp.useMenuBar = TRUE;
    // Without a bar window the bar takes no room.
    gApp.barHeight = 0;
    if (gApp.useMenuBar) {
        CreateMenuBar();
    } else {
        CreateCommandBar();
    }
    HWND bar = gApp.barWindow;
    if (!bar) return;
    SendMessageW(bar, TB_SETTOOLTIPS, kToolImageCount + 1, (LPARAM)kToolTips);
    CommandBar_AddBitmap(bar, gApp.instance, kBitmapToolButtons, kToolImageCount, kToolButtonSize, kToolButtonSize);
    SendMessageW(bar, TB_ADDBUTTONSW, kToolImageCount, (LPARAM)kToolButtons);
    // The system's standard images follow ours; no button uses them.
    CommandBar_AddBitmap(bar, HINST_COMMCTRL, IDB_STD_SMALL_COLOR, -kToolImageCount, kToolButtonSize,
                         kToolButtonSize);
    if (gFullScreen && !gApp.useMenuBar) CommandBar_Show(bar, FALSE);
    CommandBar_AddAdornments(bar, CMDBAR_HELP, 0);
}

int OpenArticleView(HWND window) {
    HDC surface = GetDC(window);
    RECT r;
    GetClientRect(window, &r);
    if (gFittedGutter) gApp.SurroundingGutter = FittedGutter(surface, r.right - r.left);
    if (gApp.useMenuBar) {
        r.bottom -= gApp.barHeight;
    } else {
        r.top += gApp.barHeight;
    }
    // The view starts g in from the left and top and ends 2g in from the right and
    // bottom; a direction too small for the gutter keeps its full extent.
    LONG g = gApp.SurroundingGutter;
    if (r.bottom - r.top > 2 * g) {
        r.top += g;
        r.bottom -= 2 * g;
    }
    if (r.right - r.left > 2 * g) {
        r.left += g;
        r.right -= 2 * g;
    }
    r.bottom -= StatusLineHeight(window);
    ArticleView* view = CreateArticleView(surface, &r, &gApp.fontSettings, kViewCapacity);
    gApp.articleView = view;
    if (!view) {
        ReleaseDC(window, surface);
        return 1;
    }
    FitReadingColumn(view);
    int status = 0;
    BYTE* article = LoadContent(gApp.currentArticle, &status);
    if (!article) {
        MessageBoxW(window, TEXT("Resource not found"), TEXT("Error"), MB_ICONEXCLAMATION);
        return 0;
    }
    LayoutArticle(view, article, FALSE);
    // A malformed article is not taken by the view.
    if (view->article != article) std::free(article);
    view->topRow = gApp.lastPosition;
    UpdateScrollBar(window);
    UpdateWindowTitle(window);
    return 0;
}

void SetCurrentArticle(int number) {
    if (number == 0) {
        if (gApp.currentArticle == 0) {
            gApp.currentArticle = kFirstArticle;
            gApp.lastPosition = 0;
        }
    } else if ((uint16_t)number != gApp.currentArticle) {
        gApp.currentArticle = (uint16_t)number;
        gApp.lastPosition = 0;
    }
}

void UpdateScrollBar(HWND window) {
    // Every change of the rows shown ends here.
    PublishArticleView(window);
    ArticleView* view = gApp.articleView;
    // A window not shown yet draws the line at its first paint.
    if (view && IsWindowVisible(window)) DrawStatusLine(view, gApp.currentArticle);  // notes a read mark first
    FollowCurrentArticle();
    if (!(gApp.Flags & kFlagScrollBar) || !view) return;
    SCROLLINFO info = ProportionalScrollInfo(view);
    SetScrollInfo(window, SB_VERT, &info, TRUE);
}

void PaintMainWindow(HDC surface, HWND window, UINT flags) {
    PAINTSTRUCT ps;
    if (!surface) BeginPaint(window, &ps);
    // The view draws on its own surface, not on the one BeginPaint gives.
    if ((flags & kPaintView) && gApp.articleView) {
        PaintArticleView(gApp.articleView, (flags & kPaintErase) != 0);
        DrawStatusLine(gApp.articleView, gApp.currentArticle);
    }
    PublishArticleView(window);
    if (!surface) EndPaint(window, &ps);
    if (gExitAfterFirstPaint) ReportFirstPaintAndEnd(window);
}

// The margin around the view takes the page's colour, the night's one too.
void EraseMainWindow(HWND window, HDC surface) {
    RECT client;
    if (GetClientRect(window, &client))
        EraseViewRect(surface, client.left, client.top, client.right - client.left, client.bottom - client.top);
}

void RepaintNow(HWND window, UINT flags) {
    if (!window) window = gApp.mainWindow;
    HDC surface = GetDC(window);
    PaintMainWindow(surface, window, flags);
    ReleaseDC(window, surface);
    UpdateScrollBar(window);
    UpdateWindowTitle(window);
}

// A fitted gutter follows the new width; the view moves to stay g in from the left
// and the top of the area the bar leaves (where that direction has room for it).
bool RefitGutter(ArticleView* view, int width, int height) {
    int32_t g = FittedGutter(view->surface, width);
    if (g == gApp.SurroundingGutter) return false;
    gApp.SurroundingGutter = g;
    view->left = width > 2 * g ? g : 0;
    view->top = (gApp.useMenuBar ? 0 : gApp.barHeight) + (height - gApp.barHeight > 2 * g ? g : 0);
    return true;
}

void ResizeForWindow(HWND window, LPARAM size) {
    int w = LOWORD(size), h = HIWORD(size);
    ArticleView* view = gApp.articleView;
    bool moved = view && gFittedGutter && RefitGutter(view, w, h);
    int g = gApp.SurroundingGutter;
    if (w > 2 * g) w -= 2 * g;
    if (h > 2 * g) h -= 2 * g;
    if (!view) return;
    // Left and top stay where OpenArticleView put them: from now on the view is inset
    // by g on all four sides of the area the bar leaves.
    // A size the view already has keeps its layout.
    int height = h - gApp.barHeight - StatusLineHeight(window);
    if (moved || w != view->width || height != view->height) {
        KeepingPlaceAndHits(view, [&] { ResizeArticleView(view, w, height); });
        UpdateScrollBar(window);
    }
}

void InitShellDialog(HWND dialog, DWORD flags) {
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, flags | (gFullScreen ? 0 : SHIDIF_DONEBUTTON)};
    SHInitDialog(&info);
    if (gFullScreen) {
        RECT r;
        GetWindowRect(dialog, &r);
        MoveWindow(dialog, r.left, 0, r.right, r.bottom, FALSE);
    }
}

void HideTaskBarOnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_ACTIVE && gTaskBarWindow) ShowWindow(gTaskBarWindow, SW_HIDE);
}

INT_PTR RunDialog(int id, HWND owner, DLGPROC proc, LPARAM param) {
    HGLOBAL dialog = LoadResource(gApp.instance, FindResourceW(gApp.instance, MAKEINTRESOURCEW(id), RT_DIALOG));
    if (!dialog) return -1;
    return DialogBoxIndirectParamW(gApp.instance, (LPCDLGTEMPLATEW)dialog, owner, proc, param);
}
