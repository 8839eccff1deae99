// The docked side panel: its window, the splitter beside it, the tab strip, and
// where they stand in the main window.
#include "SidePanel.h"

#include <algorithm>

#include "../platform/Panel.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "../shell/Settings.h"
#include "NotesTab.h"
#include "PanelSearch.h"

namespace {

const WCHAR kPanelClass[] = u"VelunSidePanel";
const WCHAR kSplitterClass[] = u"VelunSplitter";
constexpr int kTabsId = 2001, kOpenIndexId = 2002;
constexpr int kDefaultWidth = 300, kMinWidth = 160, kMinArticleWidth = 200;
constexpr int kSplitterWidth = 5;
constexpr int kShownFromWidth = 900;  // a window this wide opens with the panel
constexpr int kTabsHeight = 30;
constexpr int32_t kUnset = -1;

struct SidePanel {
    HWND window, splitter, tabs;
    HWND openIndex;  // the Contents tab, until the tree stands in it: a way to the index
    int width;
    int32_t shown;  // 0 or 1 once chosen; kUnset: shown when the window is wide enough
    bool wide;      // the window was kShownFromWidth wide or more at its last size
    int dragFrom;   // the splitter's press, in its own coordinates; -1 when not dragging
    int tab;
};

SidePanel gPanel = {nullptr, nullptr, nullptr, nullptr, kDefaultWidth, kUnset, false, -1, kSearchTab};

bool OnRight() { return DesktopIsRightToLeft(); }

void RefitMainWindow() {
    RECT client;
    if (GetClientRect(gApp.mainWindow, &client))
        ResizeBesideSidePanel(gApp.mainWindow, MAKELPARAM(client.right - client.left, client.bottom - client.top));
    InvalidateRect(gApp.mainWindow, nullptr, TRUE);
}

void ShowTab(int tab) {
    gPanel.tab = tab;
    SelectTab(gPanel.tabs, tab);
    ShowPanelSearch(tab == kSearchTab);
    ShowNotesTab(tab == kNotesTab);
    ShowWindow(gPanel.openIndex, tab == kContentsTab ? SW_SHOW : SW_HIDE);
}

void ChooseTab(int tab) {
    if (tab != gPanel.tab) RegWriteNumber(TEXT("SidePanelTab"), tab);
    ShowTab(tab);
}

void LayoutPanel(int width, int height) {
    MoveWindow(gPanel.tabs, 0, 0, width, kTabsHeight, TRUE);
    MoveWindow(gPanel.openIndex, 4, kTabsHeight + 4, std::max(width - 8, 0), 28, TRUE);
    LayoutPanelSearch(gPanel.window, 0, kTabsHeight, width, height - kTabsHeight);
    LayoutNotesTab(0, kTabsHeight, width, height - kTabsHeight);
}

LRESULT CALLBACK SidePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: LayoutPanel(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kTabsId && HIWORD(wParam) == kTabChanged) {
                ChooseTab(SelectedTab(gPanel.tabs));
                return 0;
            }
            if (LOWORD(wParam) == kOpenIndexId) {
                PostMessageW(gApp.mainWindow, WM_COMMAND, kCmdIndex, 0);
                return 0;
            }
            if (gPanel.tab == kNotesTab ? NotesTabCommand(wParam) : PanelSearchCommand(wParam)) return 0;
            break;
        case WM_KEYDOWN:
            if (gPanel.tab == kNotesTab ? NotesTabKey(wParam) : PanelSearchKey(wParam)) return 0;
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Dragging the splitter sets the panel's width; it is kept when the drag ends.
LRESULT CALLBACK SplitterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int x = (SHORT)LOWORD(lParam);
    switch (message) {
        case WM_LBUTTONDOWN: gPanel.dragFrom = x; return 0;
        case WM_MOUSEMOVE:
            if (gPanel.dragFrom < 0 || !(wParam & MK_LBUTTON)) return 0;
            gPanel.width += OnRight() ? gPanel.dragFrom - x : x - gPanel.dragFrom;
            RefitMainWindow();
            return 0;
        case WM_LBUTTONUP:
            if (gPanel.dragFrom < 0) return 0;
            gPanel.dragFrom = -1;
            RegWriteNumber(TEXT("SidePanelWidth"), gPanel.width);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPanelClasses() {
    RegisterPanelControls();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SidePanelProc;
    wc.hInstance = gApp.instance;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = kPanelClass;
    RegisterClassW(&wc);
    wc.lpfnWndProc = SplitterProc;
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = kSplitterClass;
    RegisterClassW(&wc);
}

// The panel's width in a client area w wide: at least kMinWidth, and leaving the
// article kMinArticleWidth where the window has room for both.
int FittedWidth(int w) {
    int most = std::max(kMinWidth, w - kSplitterWidth - kMinArticleWidth);
    return std::clamp(gPanel.width, kMinWidth, most);
}

}  // namespace

void CreateSidePanel(HWND mainWindow) {
    RegisterPanelClasses();
    gPanel.width = std::clamp(ReadSetting(TEXT("SidePanelWidth"), kDefaultWidth), kMinWidth, 4000);
    int32_t shown = ReadSetting(TEXT("SidePanel"), kUnset);
    gPanel.shown = shown == 0 || shown == 1 ? shown : kUnset;
    gPanel.wide = false;
    gPanel.dragFrom = -1;
    int32_t tab = ReadSetting(TEXT("SidePanelTab"), kSearchTab);
    gPanel.tab = tab == kContentsTab || tab == kNotesTab ? tab : kSearchTab;
    gPanel.window = CreateWindowExW(0, kPanelClass, TEXT(""), WS_CHILD, 0, 0, 0, 0, mainWindow, nullptr,
                                    gApp.instance, nullptr);
    gPanel.splitter = CreateWindowExW(0, kSplitterClass, TEXT(""), WS_CHILD, 0, 0, 0, 0, mainWindow, nullptr,
                                      gApp.instance, nullptr);
    if (!gPanel.window || !gPanel.splitter) return;
    ShowSizingCursor(gPanel.splitter);
    gPanel.tabs = CreateWindowExW(0, kTabStripClass, TEXT("Contents\nSearch\nNotes"), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  gPanel.window, (HMENU)(INT_PTR)kTabsId, gApp.instance, nullptr);
    SetAccessibleName(gPanel.tabs, TEXT("Side panel tabs"));
    gPanel.openIndex = CreateWindowExW(0, TEXT("BUTTON"), TEXT("Open the Index (Ctrl+D)"), WS_CHILD | WS_TABSTOP,
                                       0, 0, 0, 0, gPanel.window, (HMENU)(INT_PTR)kOpenIndexId, gApp.instance, nullptr);
    CreatePanelSearch(gPanel.window);
    CreateNotesTab(gPanel.window);
    ShowTab(gPanel.tab);
}

void ResizeBesideSidePanel(HWND mainWindow, LPARAM size) {
    int w = LOWORD(size), h = HIWORD(size);
    gPanel.wide = w >= kShownFromWidth;
    bool shown = SidePanelShown();
    int top = gApp.useMenuBar ? 0 : gApp.barHeight, height = std::max(h - gApp.barHeight, 0);
    int panel = shown ? FittedWidth(w) : 0, taken = shown ? panel + kSplitterWidth : 0;
    if (shown) {
        int x = OnRight() ? w - panel : 0;
        MoveWindow(gPanel.window, x, top, panel, height, TRUE);
        MoveWindow(gPanel.splitter, OnRight() ? x - kSplitterWidth : panel, top, kSplitterWidth, height, TRUE);
    }
    ShowWindow(gPanel.window, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(gPanel.splitter, shown ? SW_SHOW : SW_HIDE);
    int articleWidth = std::max(w - taken, 0);
    ResizeForWindow(mainWindow, MAKELPARAM(articleWidth, h));
    ArticleView* view = gApp.articleView;
    if (!view) return;
    // The view keeps its gutter inside the part of the window left to it. Its lines
    // hold their places in the window, so a move is a new layout at the same row.
    int g = gApp.SurroundingGutter, left = (articleWidth > 2 * g ? g : 0) + (OnRight() ? 0 : taken);
    if (view->left == left) return;
    uint16_t topRow = view->topRow;
    view->left = left;
    ResizeArticleView(view, view->width, view->height);
    view->topRow = std::min(topRow, view->maxTopRow);
    UpdateScrollBar(mainWindow);
    InvalidateRect(mainWindow, nullptr, TRUE);
}

bool SidePanelShown() { return gPanel.window && (gPanel.shown == kUnset ? gPanel.wide : gPanel.shown == 1); }

void ShowSidePanel(bool shown) {
    if (!gPanel.window) return;
    gPanel.shown = shown;
    RegWriteNumber(TEXT("SidePanel"), shown);
    RefitMainWindow();
    if (!shown) SetFocus(gApp.mainWindow);
}

void OpenPanelTab(PanelTab tab, bool focus) {
    if (!gPanel.window) return;
    if (!SidePanelShown()) ShowSidePanel(true);
    ChooseTab(tab);
    if (focus) tab == kSearchTab ? FocusPanelSearch() : tab == kNotesTab ? FocusNotesTab() : (void)SetFocus(gPanel.openIndex);
}

HWND SidePanelWindow() { return gPanel.window; }
