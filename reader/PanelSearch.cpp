// The Search tab: each change of the box searches the whole collection; choosing a
// hit shows it as Search Again does, a third of the way down the page.
#include "PanelSearch.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "../platform/Panel.h"
#include "../shell/AppState.h"
#include "../shell/MainWindow.h"
#include "../shell/Search.h"
#include "LiveSearch.h"
#include "SearchRules.h"
#include "SidePanel.h"
#include "StatusLine.h"

namespace {

enum : int { kLabelId = 2101, kBoxId, kMatchCaseBoxId, kWholeWordBoxId, kStatusId, kListId };
constexpr int kRowHeight = 24, kMargin = 4;

struct PanelSearch {
    HWND label, box, matchCase, wholeWord, status, list;
    LiveSearch search;
    std::vector<uint16_t> shownHits;  // the offsets of the hits in the article shown
};

PanelSearch gTab = {};

HWND Control(HWND panel, const WCHAR* cls, const WCHAR* text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, panel, (HMENU)(INT_PTR)id,
                           gApp.instance, nullptr);
}

int RowText(void* context, int row, WCHAR* out, int capacity, bool* heading) {
    return LiveRowText(*(const LiveSearch*)context, row, out, capacity, heading);
}

// Said in the tab and, for the hit shown, in the status line under the article.
void ShowStatus() {
    try {
        std::u16string text = PanelStatusText();
        SetWindowTextW(gTab.status, text.c_str());
        const LiveSearch& search = gTab.search;
        if (search.chosen >= 0 && search.chosen < (int)search.hits.size())
            SetStatusNote(text.c_str(), search.hits[search.chosen].article, LiveStatusBrief(search).c_str());
    } catch (const std::bad_alloc&) {
        SetWindowTextW(gTab.status, u"");
    }
}

void SetCheck(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

// The box's text becomes the search string (Match Case first: it decides whether
// Hebrew marks are kept), and the whole collection is searched again.
void ForgetShownHits() {
    if (gApp.articleView) gApp.articleView->otherHitCount = 0;
}

void SearchAsTyped() {
    ForgetShownHits();
    if (SendMessageW(gTab.matchCase, BM_GETCHECK, 0, 0)) gApp.Flags |= kFlagMatchCase;
    else gApp.Flags &= ~kFlagMatchCase;
    SetWholeWordSearch(SendMessageW(gTab.wholeWord, BM_GETCHECK, 0, 0) != 0);
    WCHAR text[kSearchStringSize] = {};
    SetSearchString(text, GetWindowTextW(gTab.box, text, kSearchStringSize));
    RunLiveSearch(&gTab.search);
    SetListRows(gTab.list, (int)gTab.search.rows.size(), RowText, &gTab.search);
    ShowStatus();
}

// A hit shown at the top of the page has nothing above it, and the title box would
// cover it: it is moved down to about a third of the rows shown. The article's
// other hits are lit too.
void PlaceAThirdDown(ArticleView* view, const LiveGroup& group) {
    if (!view) return;
    const LiveSearch& search = gTab.search;
    gTab.shownHits.clear();
    // Memory running out lights only the hit chosen.
    try {
        for (int i = 0; i < group.count; i++) gTab.shownHits.push_back(search.hits[group.firstHit + i].offset);
    } catch (const std::bad_alloc&) {
        gTab.shownHits.clear();
    }
    view->otherHits = gTab.shownHits.data();
    view->otherHitCount = (uint16_t)gTab.shownHits.size();
    view->otherHitLength = (uint16_t)std::strlen(search.query);
    if (view->topRow < view->maxTopRow) view->topRow = (uint16_t)std::max(0, view->topRow - view->rowsPainted / 3);
    RepaintNow(gApp.mainWindow, kPaintAll);
    // Memory running out there ran the exit sequence, which took the view.
    if (gApp.articleView) DrawTitleBox(gApp.articleView);
}

void ChooseHit(int hit) {
    LiveSearch& search = gTab.search;
    if (hit < 0 || hit >= (int)search.hits.size()) return;
    search.chosen = hit;
    SelectListRow(gTab.list, RowOfHit(search, hit));
    const LiveHit& place = search.hits[hit];
    ShowStatus();
    if (ShowHitAt(gApp.mainWindow, place.article, place.offset)) PlaceAThirdDown(gApp.articleView, search.groups[GroupOfHit(search, hit)]);
}

// A heading reached from the hit below it goes on up to the hit before; otherwise
// it leads to its group's first hit.
void ChooseRow(int row) {
    const LiveSearch& search = gTab.search;
    bool heading = row >= 0 && row < (int)search.rows.size() && search.rows[row] < 0;
    if (heading && search.chosen > 0 && RowOfHit(search, search.chosen) > row) ChooseHit(search.chosen - 1);
    else ChooseHit(HitOfRow(search, row));
}

}  // namespace

void CreatePanelSearch(HWND panel) {
    gTab = {};
    gTab.label = Control(panel, TEXT("STATIC"), TEXT("Search the collection"), SS_NOPREFIX, kLabelId);
    gTab.box = Control(panel, TEXT("EDIT"), TEXT(""), ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kBoxId);
    gTab.matchCase = Control(panel, TEXT("BUTTON"), TEXT("Match Case"), BS_AUTOCHECKBOX | WS_TABSTOP, kMatchCaseBoxId);
    gTab.wholeWord = Control(panel, TEXT("BUTTON"), TEXT("Whole Word"), BS_AUTOCHECKBOX | WS_TABSTOP, kWholeWordBoxId);
    gTab.status = Control(panel, TEXT("STATIC"), TEXT(""), SS_NOPREFIX, kStatusId);
    gTab.list = Control(panel, kRowListClass, TEXT(""), WS_TABSTOP, kListId);
    SendMessageW(gTab.box, EM_LIMITTEXT, kSearchStringSize - 1, 0);
    SetAccessibleName(gTab.box, TEXT("Search the collection"));
    SetAccessibleName(gTab.list, TEXT("Hits"));
    SetCheck(gTab.matchCase, gApp.Flags & kFlagMatchCase);
    SetCheck(gTab.wholeWord, WholeWordSearch());
}

void ShowPanelSearch(bool shown) {
    for (HWND control : {gTab.label, gTab.box, gTab.matchCase, gTab.wholeWord, gTab.status, gTab.list})
        ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void LayoutPanelSearch(HWND, int x, int y, int width, int height) {
    int w = std::max(width - 2 * kMargin, 0), left = x + kMargin, half = w / 2, bottom = y + height - kMargin;
    y += kMargin;
    MoveWindow(gTab.label, left, y, w, kRowHeight - 6, TRUE);
    MoveWindow(gTab.box, left, y += kRowHeight - 6, w, kRowHeight, TRUE);
    MoveWindow(gTab.matchCase, left, y += kRowHeight + 2, half, kRowHeight, TRUE);
    MoveWindow(gTab.wholeWord, left + half, y, w - half, kRowHeight, TRUE);
    MoveWindow(gTab.status, left, y += kRowHeight, w, kRowHeight - 4, TRUE);
    y += kRowHeight - 4;
    MoveWindow(gTab.list, left, y, w, std::max(bottom - y, 0), TRUE);
}

void FocusPanelSearch() {
    SetFocus(gTab.box);
    SendMessageW(gTab.box, EM_SETSEL, 0, -1);
}

bool PanelSearchCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case kBoxId:
            if (HIWORD(wParam) == EN_CHANGE) SearchAsTyped();
            return true;
        case kMatchCaseBoxId:
        case kWholeWordBoxId: SearchAsTyped(); return true;
        case kListId:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK) ChooseRow(CurrentListRow(gTab.list));
            if (HIWORD(wParam) == LBN_DBLCLK || HIWORD(wParam) == kRowClicked) SidePanelChoiceMade();
            return true;
    }
    return false;
}

bool PanelSearchKey(WPARAM key) {
    int chosen = gTab.search.chosen;
    switch (key) {
        case VK_DOWN: ChooseHit(chosen + 1); return true;
        case VK_UP: ChooseHit(std::max(chosen - 1, 0)); return true;
        case VK_RETURN:
            ChooseHit(std::max(chosen, 0));
            SidePanelChoiceMade();
            return true;
    }
    return false;
}

bool StepPanelHit(int direction) {
    LiveSearch& search = gTab.search;
    int count = (int)search.hits.size();
    if (!count || !LiveSearchIsCurrent(search)) return false;
    ChooseHit(search.chosen < 0 ? (direction > 0 ? 0 : count - 1) : (search.chosen + direction + count) % count);
    return true;
}

std::u16string PanelStatusText() { return LiveStatusText(gTab.search); }
