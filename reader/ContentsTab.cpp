#include "ContentsTab.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../content/IndexRecords.h"
#include "../platform/Panel.h"
#include "../shell/AppState.h"
#include "../shell/IndexDialog.h"
#include "../shell/MainWindow.h"
#include "../shell/Settings.h"
#include "../views/Palette.h"
#include "ContentsFilter.h"
#include "FontSize.h"
#include "OpenedHeadings.h"
#include "Highlights.h"
#include "ReadMarks.h"
#include "SaveSoon.h"
#include "SidePanel.h"
#include "TreeKeys.h"

namespace {

const WCHAR kTreeClass[] = u"VelunContentsTree";
const WCHAR kOpenedValue[] = u"ContentsOpened";
enum : int { kLabelId = 2201, kFilterId, kTreeId };
constexpr int kRowHeight = 24, kMargin = 4;
constexpr int kFilterUnits = 256;
constexpr int kMarkWidth = 3;  // the bar beside the current article

struct ContentsTab {
    HWND label, filter, tree;
    HDC surface;        // the tree window's own DC, held while it lives
    IndexView* view;    // made at the tree's first size
    int column;         // width of the numbers' column right of the tree
    int marked;         // the current article as last marked
    bool markedRead;    // and whether it was read then
    int markedNotes;    // and how many notes it had
    BOOL night;         // the colours it was last painted in
    bool filtering;
    OpenedHeadings opened;  // the user's, kept while filtering and in the settings
};

ContentsTab gTab = {};

HWND Control(HWND panel, const WCHAR* cls, const WCHAR* text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, panel, (HMENU)(INT_PTR)id,
                           gApp.instance, nullptr);
}

bool StartsRecord(const IndexView* view, const IndexLine* line) {
    return line == view->lines || line[-1].key != line->key;
}

// Beside each article's first line: how many notes it has, its number, a tick
// when read; a bar at the left edge of the current article.
void DrawBeside(const IndexView* view, const IndexLine* line, int y) {
    if (!(line->key & kKeyLink) || !StartsRecord(view, line)) return;
    int number = line->key & kKeyNumberMask;
    WCHAR text[24];
    char digits[16];
    int notes = NoteCountOfArticle(number), n = 0;
    if (notes) text[n++] = 0x270E;  // pencil
    int length = notes ? std::snprintf(digits, sizeof digits, "%d %d", notes, number)
                       : std::snprintf(digits, sizeof digits, "%d", number);
    for (int i = 0; i < length; i++) text[n++] = (WCHAR)digits[i];
    if (IsArticleRead(number)) {
        text[n++] = ' ';
        text[n++] = 0x2713;  // check mark
    }
    RECT box = {view->left + view->width, y, view->left + view->width + gTab.column - kMargin, y + line->height};
    COLORREF colour = SetTextColor(view->surface, ActivePalette().text);
    DrawTextW(view->surface, text, n, &box, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(view->surface, colour);
    if (number == gApp.currentArticle) {
        RECT bar = {view->left, y, view->left + kMarkWidth, y + line->height};
        FillColourRect(view->surface, &bar, ActivePalette().heading);
    }
}

// The whole tree window: the numbers' column has no erase of its own in the view.
void PaintTree() {
    IndexView* view = gTab.view;
    if (!view) return;
    gTab.night = gNightReading;
    EraseViewRect(gTab.surface, view->left + view->width, view->top, gTab.column, view->height);
    PaintIndexView(view, TRUE);
    UpdateTreeScrollBar(gTab.tree, view);
}

void NoteOpened() {
    if (gTab.filtering || !gTab.view) return;
    OpenedHeadings before = gTab.opened;
    NoteOpenedHeadings(gTab.view, &gTab.opened);
    if (before.count != gTab.opened.count ||
        !std::equal(before.keys, before.keys + before.count, gTab.opened.keys))
        SaveSoon();
}

void ReadOpened() {
    DWORD size = 0;
    BYTE* bytes = RegReadBytesSized(kOpenedValue, nullptr, &size);
    ReadOpenedHeadings(bytes, size, &gTab.opened);
    free(bytes);
}

// The current article: marked, with the way down to it open and in sight.
void MarkCurrent() {
    IndexView* view = gTab.view;
    gTab.marked = gApp.currentArticle;
    gTab.markedRead = IsArticleRead(gTab.marked);
    gTab.markedNotes = NoteCountOfArticle(gTab.marked);
    if (!gTab.filtering) {
        RevealArticle(view, gTab.marked);
        OpenWayTo(view, gTab.marked);
        NoteOpened();
    }
    FocusArticle(view, gTab.marked);
    ScrollFocusIntoView(view);
    PaintTree();
}

void MakeTree(int width, int height) {
    RECT rect = {0, 0, width, height};
    gTab.view = OpenIndexTree(gTab.surface, &rect, &gApp.fontSettings, gApp.currentArticle);
    if (!gTab.view) return;
    gTab.view->decorate = DrawBeside;
    // Room for "187 ✓" in the links' own font: about four of their line heights.
    int lineHeight = 16;
    for (const IndexLine* m = gTab.view->lines; m && m->style; m++)
        if (m->key & kKeyLink) {
            lineHeight = m->height;
            break;
        }
    gTab.column = std::min(5 * lineHeight, width / 3);
    ResizeIndexView(gTab.view, width - gTab.column, height);
    ApplyOpenedHeadings(gTab.view, &gTab.opened);
    MarkCurrent();
}

void Filter() {
    IndexView* view = gTab.view;
    WCHAR text[kFilterUnits] = {};
    int n = GetWindowTextW(gTab.filter, text, kFilterUnits);
    ContentsFilter filter;
    CompileFilter(text, n, &filter);
    if (!view) return;
    if (FilterIsEmpty(filter)) {
        SetWindowTextW(gTab.label, TEXT("Filter the contents"));
        if (!gTab.filtering) return;
        gTab.filtering = false;
        ResizeIndexView(view, view->width, view->height);  // back to the index data, then the user's headings
        ApplyOpenedHeadings(view, &gTab.opened);
        MarkCurrent();
        return;
    }
    gTab.filtering = true;
    int found = ApplyContentsFilter(view, filter);
    view->topRow = 0;
    WCHAR status[48];
    char line[48];
    int k = found ? std::snprintf(line, sizeof line, "%d %s", found, found == 1 ? "match" : "matches")
                  : std::snprintf(line, sizeof line, "No article matches");
    for (int i = 0; i <= k; i++) status[i] = (WCHAR)line[i];
    SetWindowTextW(gTab.label, status);
    PaintTree();
}

void Read(int article) {
    if (article <= 0) return;
    if (article != gApp.currentArticle) ShowArticle(gApp.mainWindow, article);
    SidePanelChoiceMade();
}

void OnSize(int width, int height) {
    IndexView* view = gTab.view;
    if (width <= 0 || height <= 0) return;
    if (!view) {
        MakeTree(width, height);
        return;
    }
    gTab.column = std::min(gTab.column, width / 3);
    if (gTab.filtering) {
        ResizeIndexView(view, width - gTab.column, height);
        Filter();
        return;
    }
    RelayoutTree(view, width - gTab.column, height);
    ApplyOpenedHeadings(view, &gTab.opened);  // a relayout shows again what the index data shows
    if (view->maxTopRow == 0) view->topRow = 0;
    PaintTree();
}

void OnKey(WPARAM key) {
    TreeKeyResult r = TreeKey(gTab.view, key);
    if (!r.taken) return;
    NoteOpened();
    PaintTree();
    Read(r.article);
}

void OnClick(LPARAM point) {
    SetFocus(gTab.tree);
    IndexView* view = gTab.view;
    int32_t r = TreeClick(view, (SHORT)LOWORD(point), (SHORT)HIWORD(point));
    // Anywhere on an article's row reads it, its number too.
    const IndexLine* marked = FocusedLine(view);
    if (r == 0 && marked && (marked->key & kKeyLink)) r = marked->key & kKeyNumberMask;
    NoteOpened();
    PaintTree();
    if (r > 0) Read(r);
}

void OnWheel(WPARAM wParam) {
    static int sRest;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int rows = -TakeWheelSteps(&sRest, GET_WHEEL_DELTA_WPARAM(wParam), (int)lines);
    if (rows) ScrollIndexView(gTab.view, rows, 1, 1);
    PaintTree();
}

void OnVScroll(WPARAM wParam) {
    IndexView* view = gTab.view;
    if (!view) return;
    int top = view->topRow, page = std::max<int>(view->rowsPainted, 1);
    switch (LOWORD(wParam)) {
        case SB_LINEUP: top--; break;
        case SB_LINEDOWN: top++; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: top = (int16_t)HIWORD(wParam); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = view->maxTopRow; break;
        default: return;
    }
    ScrollIndexView(view, top - view->topRow, 1, 1);
    PaintTree();
}

void OnDestroy() {
    NoteOpened();
    DestroyIndexView(gTab.view, TRUE);
    gTab.view = nullptr;
    ReleaseDC(gTab.tree, gTab.surface);
    gTab.surface = nullptr;
}

LRESULT CALLBACK TreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            gTab.tree = window;
            gTab.surface = GetDC(window);
            return 0;
        case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            PaintTree();
            EndPaint(window, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;  // the paint erases
        case WM_KEYDOWN: OnKey(wParam); return 0;
        case WM_LBUTTONDOWN: OnClick(lParam); return 0;
        case WM_MOUSEWHEEL: OnWheel(wParam); return 0;
        case WM_VSCROLL: OnVScroll(wParam); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void CreateContentsTab(HWND panel) {
    gTab = {};
    ReadOpened();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TreeProc;
    wc.hInstance = gApp.instance;
    wc.lpszClassName = kTreeClass;
    RegisterClassW(&wc);
    gTab.label = Control(panel, TEXT("STATIC"), TEXT("Filter the contents"), SS_NOPREFIX, kLabelId);
    gTab.filter = Control(panel, TEXT("EDIT"), TEXT(""), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kFilterId);
    SendMessageW(gTab.filter, EM_LIMITTEXT, kFilterUnits - 1, 0);
    SetAccessibleName(gTab.filter, TEXT("Filter the contents"));
    gTab.tree = Control(panel, kTreeClass, TEXT(""), WS_VSCROLL | WS_TABSTOP, kTreeId);
    SetAccessibleName(gTab.tree, TEXT("Contents"));
}

void ShowContentsTab(bool shown) {
    for (HWND control : {gTab.label, gTab.filter, gTab.tree}) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void LayoutContentsTab(int x, int y, int width, int height) {
    int w = std::max(width - 2 * kMargin, 0), left = x + kMargin, bottom = y + height - kMargin;
    y += kMargin;
    MoveWindow(gTab.label, left, y, w, kRowHeight - 6, TRUE);
    MoveWindow(gTab.filter, left, y += kRowHeight - 6, w, kRowHeight, TRUE);
    y += kRowHeight + kMargin;
    MoveWindow(gTab.tree, left, y, w, std::max(bottom - y, 0), TRUE);
}

void FocusContentsTab() {
    SetFocus(gTab.filter);
    SendMessageW(gTab.filter, EM_SETSEL, 0, -1);
}

bool ContentsTabCommand(WPARAM wParam) {
    if (LOWORD(wParam) != kFilterId) return false;
    if (HIWORD(wParam) == EN_CHANGE) Filter();
    return true;
}

// From the filter box: Enter reads the first match, Escape clears the filter, Down
// goes into the tree.
bool ContentsTabKey(WPARAM key) {
    switch (key) {
        case VK_RETURN:
            if (const IndexLine* first = FocusedLine(gTab.view); first && gTab.filtering && (first->key & kKeyLink))
                Read(first->key & kKeyNumberMask);
            return true;
        case VK_ESCAPE: SetWindowTextW(gTab.filter, TEXT("")); return true;
        case VK_DOWN: SetFocus(gTab.tree); return true;
    }
    return false;
}

void FollowCurrentArticle() {
    if (!gTab.view) return;
    if (gTab.marked != gApp.currentArticle) {
        MarkCurrent();
    } else if (gTab.markedRead != IsArticleRead(gTab.marked) || gTab.night != gNightReading ||
               gTab.markedNotes != NoteCountOfArticle(gTab.marked)) {
        gTab.markedRead = IsArticleRead(gTab.marked);
        gTab.markedNotes = NoteCountOfArticle(gTab.marked);
        PaintTree();
    }
}

void SaveContentsOpened() {
    if (!gTab.opened.known) return;
    BYTE bytes[2 * kMaxOpenedHeadings];
    RegWriteBytes(kOpenedValue, bytes, StoreOpenedHeadings(gTab.opened, bytes));
}

IndexView* ContentsTree() { return gTab.view; }
HWND ContentsTreeWindow() { return gTab.tree; }
void SetContentsFilter(const WCHAR* text) { SetWindowTextW(gTab.filter, text); }
