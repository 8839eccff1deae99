// The index dialog: the tree drawn straight on the dialog, scrolled by the dialog's
// own scroll bar; a tapped link ends the dialog with its article.
#include "IndexDialog.h"

#include <cstdlib>

#include "../content/Content.h"
#include "../content/IndexRecords.h"
#include "../resources/Dialogs.h"
#include "../views/Palette.h"
#include "../reader/Accessibility.h"
#include "AppState.h"
#include "../reader/FontSize.h"
#include "MainWindow.h"

IndexDialogState gIndexDialog;

namespace {

constexpr int kIndexViewCapacity = 100;

void TakeScrollBarOff(RECT* rect) { rect->right -= GetSystemMetrics(SM_CXVSCROLL); }

void OnInitDialog(HWND dialog) {
    IndexDialogState& st = gIndexDialog;
    st.dialog = dialog;
    st.surface = GetDC(dialog);
    GetClientRect(dialog, &st.saved);
    TakeScrollBarOff(&st.saved);
    InitIndexDialog();
    InitShellDialog(dialog, kFullScreenDialogFlags);
}

// The focused record as its key and how many records of that key come before it,
// which survive a relayout; the line numbers do not.
struct FocusPlace {
    uint16_t key;
    int nth;
};

FocusPlace SaveFocus(IndexView* view) {
    const IndexLine* focused = FocusedLine(view);
    if (!focused) return {0, 0};
    int nth = 0;
    for (const IndexLine* m = view->lines; m < focused; m++)
        if (m->key == focused->key && (m == view->lines || m[-1].key != m->key)) nth++;
    return {focused->key, nth};
}

void RestoreFocus(IndexView* view, FocusPlace place) {
    if (!view || !view->lines || !place.key) return;
    for (int i = 0, nth = 0; view->lines[i].style; i++) {
        if (view->lines[i].key != place.key || (i > 0 && view->lines[i - 1].key == place.key)) continue;
        if (nth++ == place.nth) {
            view->focus = i + 1;
            return;
        }
    }
}

// The view takes the whole new client area; the expansion state survives the relayout.
void OnSize(LPARAM size) {
    IndexDialogState& st = gIndexDialog;
    GetClientRect(st.dialog, &st.saved);
    uint16_t* expansion = SaveExpansion(st.view);
    FocusPlace focus = SaveFocus(st.view);
    TakeScrollBarOff(&st.saved);
    ResizeIndexView(st.view, LOWORD(size), HIWORD(size));
    RestoreExpansion(st.view, expansion);
    RestoreFocus(st.view, focus);
    free(expansion);
    if (st.view && st.view->maxTopRow == 0) st.view->topRow = 0;
    PaintIndexView(st.view, TRUE);
    UpdateIndexScrollBar();
}

// Enter on a link chooses it; on a heading it opens or closes the heading.
void ChooseFocused(IndexView* view) {
    IndexDialogState& st = gIndexDialog;
    IndexLine* focused = FocusedLine(view);
    if (focused && (focused->key & kKeyHeading)) {
        ToggleHeading(view, focused);
        return;
    }
    if (focused) st.result = focused->key & kKeyNumberMask;
    EndDialog(st.dialog, 1);
}

// Right opens the focused heading, Left closes it.
void OpenFocused(IndexView* view, bool open) {
    IndexLine* focused = FocusedLine(view);
    if (focused && (focused->key & kKeyHeading) && ((focused->style & kIndexExpanded) != 0) != open)
        ToggleHeading(view, focused);
}

// The arrows move the focus mark, Right and Left open and close its heading and
// Enter takes it; the page keys move one row.
INT_PTR OnKeyDown(WPARAM key) {
    IndexView* view = gIndexDialog.view;
    switch (key) {
        case VK_PRIOR:
        case VK_NEXT: ScrollIndexView(view, key == VK_NEXT ? 1 : -1, 1, 1); break;
        case VK_UP:
        case VK_DOWN:
            MoveFocus(view, key == VK_DOWN ? 1 : -1);
            ScrollFocusIntoView(view);
            break;
        case VK_RIGHT:
        case VK_LEFT: OpenFocused(view, key == VK_RIGHT); break;
        case VK_RETURN: ChooseFocused(view); break;
        default: return 1;
    }
    UpdateIndexScrollBar();
    return 0;
}

void OnWheel(WPARAM wParam) {
    static int sRest;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int rows = -TakeWheelSteps(&sRest, GET_WHEEL_DELTA_WPARAM(wParam), (int)lines);
    if (!rows) return;
    ScrollIndexView(gIndexDialog.view, rows, 1, 1);
    UpdateIndexScrollBar();
}

int ScrollDelta(const IndexView* view, WPARAM wParam) {
    int top = view ? view->topRow : 0;
    switch (LOWORD(wParam)) {
        case SB_LINEUP: return -1;
        case SB_LINEDOWN: return 1;
        case SB_PAGEUP: return view ? -view->rowsPainted : 0;
        case SB_PAGEDOWN: return view ? view->rowsPainted : 0;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: return (int16_t)HIWORD(wParam) - top;
        case SB_TOP: return -top;
        case SB_BOTTOM: return 1;  // one row, like SB_LINEDOWN
        default: return 0;
    }
}

void OnVScroll(WPARAM wParam, LPARAM lParam) {
    IndexDialogState& st = gIndexDialog;
    int delta = ScrollDelta(st.view, wParam);
    if (delta) ScrollIndexView(st.view, delta, 1, 1);
    DefWindowProcW(st.dialog, WM_VSCROLL, wParam, lParam);
    if (delta) UpdateIndexScrollBar();
}

INT_PTR OnCommand(WPARAM wParam) {
    IndexDialogState& st = gIndexDialog;
    switch (LOWORD(wParam)) {
        case IDOK: EndDialog(st.dialog, 1); return 1;
        case IDCANCEL:
            st.result = 0;
            EndDialog(st.dialog, 2);
            return 1;
        default: return 0;
    }
}

void OnTap(LPARAM point) {
    IndexDialogState& st = gIndexDialog;
    int32_t r = HitTestIndex(st.view, (uint16_t)LOWORD(point), (uint16_t)HIWORD(point));
    if (r > 0) {
        st.result = (uint16_t)r;
        EndDialog(st.dialog, 1);
    } else if (r < 0) {  // a heading was toggled (already repainted), or a tap below the last row
        UpdateIndexScrollBar();
    }
}

void OnDestroy() {
    IndexDialogState& st = gIndexDialog;
    ReleaseDC(st.dialog, st.surface);
    st.surface = nullptr;
    DestroyIndexView(st.view, TRUE);  // the index buffer goes with it
    st.view = nullptr;
}

}  // namespace

IndexView* OpenIndexTree(HDC surface, const RECT* rect, const FontSettings* settings, int currentArticle) {
    int status = 0;
    BYTE* index = AddBookmarkSection(LoadContent(kIndexContentNumber, &status));
    IndexView* view = CreateIndexView(surface, rect, settings, kIndexViewCapacity);
    if (!view) {
        free(index);
        return nullptr;
    }
    LayoutIndex(view, index, FALSE);
    if (view->index != index) free(index);  // refused (empty) or no memory: the view did not take it
    RevealArticle(view, currentArticle);
    FocusArticle(view, currentArticle);
    return view;
}

void InitIndexDialog() {
    IndexDialogState& st = gIndexDialog;
    st.view = OpenIndexTree(st.surface, &st.saved, st.fontSettings, st.result);
    UpdateIndexScrollBar();
}

void UpdateIndexScrollBar() {
    IndexView* view = gIndexDialog.view;
    SCROLLINFO info = {sizeof(SCROLLINFO), SIF_RANGE | SIF_POS, 0, view ? view->maxTopRow : 0, 0,
                       view ? view->topRow : 0, 0};
    SetScrollInfo(gIndexDialog.dialog, SB_VERT, &info, TRUE);
    PublishIndexView(gIndexDialog.dialog, view);
}

INT_PTR CALLBACK IndexDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    IndexDialogState& st = gIndexDialog;
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog); return 0;
        case WM_SIZE: OnSize(lParam); return 0;
        case WM_PAINT: PaintIndexView(st.view, TRUE); return 0;  // the default processing validates
        case WM_ERASEBKGND:
            EraseViewRect((HDC)wParam, st.saved.left, st.saved.top, st.saved.right - st.saved.left,
                          st.saved.bottom - st.saved.top);
            InvalidateRect(st.dialog, &st.saved, FALSE);  // the WM_PAINT it brings draws the tree
            return 1;
        case WM_ACTIVATE: HideTaskBarOnActivate(wParam); return 0;
        case WM_KEYDOWN: return OnKeyDown(wParam);
        case WM_GETDLGCODE: return DLGC_WANTALLKEYS;  // Enter takes the focused line
        case WM_MOUSEWHEEL: OnWheel(wParam); return 0;
        case WM_VSCROLL: OnVScroll(wParam, lParam); return 1;
        case WM_COMMAND: return OnCommand(wParam);
        case WM_LBUTTONDOWN: OnTap(lParam); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: return 0;
    }
}

uint16_t OpenIndexDialog(HINSTANCE instance, HWND owner, int currentArticle, FontSettings* settings) {
    gIndexDialog = IndexDialogState{};
    gIndexDialog.result = (uint16_t)currentArticle;
    gIndexDialog.fontSettings = settings;
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(kIndexDialogId), RT_DIALOG);
    auto dialogTemplate = (LPCDLGTEMPLATEW)LoadResource(instance, found);
    DialogBoxIndirectParamW(instance, dialogTemplate, owner, IndexDialogProc, 0);
    return gIndexDialog.result;
}
