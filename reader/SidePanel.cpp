// The docked side panel: its window, the splitter beside it, the tab strip, and
// where they stand in the main window.
#include "SidePanel.h"

#include <algorithm>

#include "../platform/Panel.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "../shell/Settings.h"
#include "ContentsTab.h"
#include "KeepPlace.h"
#include "NotesTab.h"
#include "PanelSearch.h"

namespace {

const WCHAR kPanelClass[] = u"VelunSidePanel";
const WCHAR kSplitterClass[] = u"VelunSplitter";
constexpr int kTabsId = 2001;
constexpr int kDefaultWidth = 300, kMinWidth = 160, kMinArticleWidth = 200;
constexpr int kSplitterWidth = 5;
constexpr int kShownFromWidth = 900;  // a window this wide opens with the panel
constexpr int kTabsHeight = 30;
constexpr int32_t kUnset = -1;

struct SidePanel {
    HWND window, splitter, tabs;
    int width;
    int32_t shown;  // 0 or 1 once chosen; kUnset: shown when the window is wide enough
    bool wide;      // the window was kShownFromWidth wide or more at its last size
    // Too narrow for the panel beside a readable article, the window shows the panel
    // over the whole of it, stepping aside for this run once something is chosen.
    bool narrow, steppedAside;
    int dragFrom;  // the splitter's press, in its own coordinates; -1 when not dragging
    int tab;
    bool filled;  // the tab strip and the tabs are made
};

SidePanel gPanel = {nullptr, nullptr, nullptr, kDefaultWidth, kUnset, false, false, false, -1, kSearchTab, false};

// What the panel asks of each tab, in the order of the strip.
struct PanelTabFaces {
    const WCHAR* label;
    void (*create)(HWND panel);
    void (*show)(bool shown);
    void (*layout)(int x, int y, int width, int height);
    void (*focus)();
    bool (*command)(WPARAM wParam);
    bool (*key)(WPARAM key);
};

void LayoutSearch(int x, int y, int width, int height) { LayoutPanelSearch(gPanel.window, x, y, width, height); }

const PanelTabFaces kTabs[] = {
    {u"Contents", CreateContentsTab, ShowContentsTab, LayoutContentsTab, FocusContentsTab, ContentsTabCommand,
     ContentsTabKey},
    {u"Search", CreatePanelSearch, ShowPanelSearch, LayoutSearch, FocusPanelSearch, PanelSearchCommand,
     PanelSearchKey},
    {u"Notes", CreateNotesTab, ShowNotesTab, LayoutNotesTab, FocusNotesTab, NotesTabCommand, NotesTabKey},
};
constexpr int kTabCount = (int)(sizeof kTabs / sizeof kTabs[0]);

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
    for (int i = 0; i < kTabCount; i++) kTabs[i].show(i == tab);
}

void ChooseTab(int tab) {
    if (tab != gPanel.tab) RegWriteNumber(TEXT("SidePanelTab"), tab);
    ShowTab(tab);
}

void LayoutPanel(int width, int height) {
    MoveWindow(gPanel.tabs, 0, 0, width, kTabsHeight, TRUE);
    for (const PanelTabFaces& tab : kTabs) tab.layout(0, kTabsHeight, width, height - kTabsHeight);
}

LRESULT CALLBACK SidePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: LayoutPanel(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kTabsId && HIWORD(wParam) == kTabChanged) {
                ChooseTab(SelectedTab(gPanel.tabs));
                return 0;
            }
            for (const PanelTabFaces& tab : kTabs)
                if (tab.command(wParam)) return 0;
            break;
        case WM_KEYDOWN:
            if (kTabs[gPanel.tab].key(wParam)) return 0;
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
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kPanelClass;
    RegisterClassW(&wc);
    wc.lpfnWndProc = SplitterProc;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNSHADOW);
    wc.lpszClassName = kSplitterClass;
    RegisterClassW(&wc);
}

// The panel's width in a client area w wide: at least kMinWidth, and leaving the
// article kMinArticleWidth where the window has room for both.
int FittedWidth(int w) {
    int most = std::max(kMinWidth, w - kSplitterWidth - kMinArticleWidth);
    return std::clamp(gPanel.width, kMinWidth, most);
}

// The tab strip and the tabs are made when the panel first shows: a window that
// starts too narrow for it does not pay for them before its first paint.
void FillPanel() {
    if (gPanel.filled || !gPanel.window) return;
    gPanel.filled = true;
    WCHAR labels[128] = {};  // one a line
    for (int i = 0, n = 0; i < kTabCount; i++) {
        if (i && n < 127) labels[n++] = '\n';
        for (const WCHAR* c = kTabs[i].label; *c && n < 127; c++) labels[n++] = *c;
    }
    gPanel.tabs = CreateWindowExW(0, kTabStripClass, labels, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  gPanel.window, (HMENU)(INT_PTR)kTabsId, gApp.instance, nullptr);
    SetAccessibleName(gPanel.tabs, TEXT("Side panel tabs"));
    for (const PanelTabFaces& tab : kTabs) tab.create(gPanel.window);
    ShowTab(gPanel.tab);
}

}  // namespace

void CreateSidePanel(HWND mainWindow) {
    RegisterPanelClasses();
    gPanel.width = std::clamp(ReadSetting(TEXT("SidePanelWidth"), kDefaultWidth), kMinWidth, 4000);
    int32_t shown = ReadSetting(TEXT("SidePanel"), kUnset);
    gPanel.shown = shown == 0 || shown == 1 ? shown : kUnset;
    gPanel.wide = false;
    gPanel.dragFrom = -1;
    gPanel.filled = false;
    gPanel.tabs = nullptr;
    int32_t tab = ReadSetting(TEXT("SidePanelTab"), kSearchTab);
    gPanel.tab = tab >= 0 && tab < kTabCount ? tab : kSearchTab;
    gPanel.window = CreateWindowExW(0, kPanelClass, TEXT(""), WS_CHILD, 0, 0, 0, 0, mainWindow, nullptr,
                                    gApp.instance, nullptr);
    gPanel.splitter = CreateWindowExW(0, kSplitterClass, TEXT(""), WS_CHILD, 0, 0, 0, 0, mainWindow, nullptr,
                                      gApp.instance, nullptr);
    if (!gPanel.window || !gPanel.splitter) return;
    ShowSizingCursor(gPanel.splitter);
}

void ResizeBesideSidePanel(HWND mainWindow, LPARAM size) {
    int w = LOWORD(size), h = HIWORD(size);
    gPanel.wide = w >= kShownFromWidth;
    gPanel.narrow = w < kMinWidth + kSplitterWidth + kMinArticleWidth;
    gPanel.steppedAside = gPanel.steppedAside && gPanel.narrow;
    bool shown = SidePanelShown(), over = shown && gPanel.narrow;
    int top = gApp.useMenuBar ? 0 : gApp.barHeight, height = std::max(h - gApp.barHeight, 0);
    int panel = over ? w : shown ? FittedWidth(w) : 0, taken = shown && !over ? panel + kSplitterWidth : 0;
    if (shown) {
        FillPanel();
        int x = OnRight() ? w - panel : 0;
        MoveWindow(gPanel.window, x, top, panel, height, TRUE);
        MoveWindow(gPanel.splitter, OnRight() ? x - kSplitterWidth : panel, top, kSplitterWidth, height, TRUE);
    }
    ShowWindow(gPanel.window, shown ? SW_SHOW : SW_HIDE);
    ShowWindow(gPanel.splitter, shown && !over ? SW_SHOW : SW_HIDE);
    int articleWidth = std::max(w - taken, 0);
    ResizeForWindow(mainWindow, MAKELPARAM(articleWidth, h));
    ArticleView* view = gApp.articleView;
    if (!view) return;
    // The view keeps its gutter inside the part of the window left to it. Its lines
    // hold their places in the window, so a move is a new layout at the same row.
    int g = gApp.SurroundingGutter, left = (articleWidth > 2 * g ? g : 0) + (OnRight() ? 0 : taken);
    if (view->left == left) return;
    uint16_t topRow = view->topRow;
    LitHits lit = LitHitsOf(view);
    view->left = left;
    ResizeArticleView(view, view->width, view->height);
    view->topRow = std::min(topRow, view->maxTopRow);
    Relight(view, lit);
    UpdateScrollBar(mainWindow);
    InvalidateRect(mainWindow, nullptr, TRUE);
}

bool SidePanelShown() {
    bool chosen = gPanel.shown == kUnset ? gPanel.wide : gPanel.shown == 1;
    return gPanel.window && chosen && !(gPanel.narrow && gPanel.steppedAside);
}

void ShowSidePanel(bool shown) {
    if (!gPanel.window) return;
    gPanel.shown = shown;
    gPanel.steppedAside = false;
    RegWriteNumber(TEXT("SidePanel"), shown);
    RefitMainWindow();
    // Over the whole window, the panel takes the keyboard the article can no longer use.
    if (shown && gPanel.narrow) kTabs[gPanel.tab].focus();
    if (!shown) SetFocus(gApp.mainWindow);
}

void SidePanelChoiceMade() {
    if (!gPanel.narrow || !SidePanelShown()) return;
    gPanel.steppedAside = true;
    RefitMainWindow();
    SetFocus(gApp.mainWindow);
}

void OpenPanelTab(PanelTab tab, bool focus) {
    if (!gPanel.window) return;
    if (!SidePanelShown()) ShowSidePanel(true);
    FillPanel();
    ChooseTab(tab);
    if (focus) kTabs[tab].focus();
}

HWND SidePanelWindow() { return gPanel.window; }

HWND ShortcutWindow(HWND window) {
    for (HWND w = window; w && gPanel.window; w = GetParent(w))
        if (w == gPanel.window) return gApp.mainWindow;
    return window;
}
