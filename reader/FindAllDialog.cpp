// The Find All list: every hit with its article's title and the text around it;
// choosing one shows it as Search Again would.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "../resources/Dialogs.h"
#include "../shell/AppState.h"
#include "FindAll.h"
#include "../shell/MainWindow.h"
#include "../shell/Memory.h"
#include "../shell/Search.h"

namespace {

struct HitPlace {
    uint16_t article;
    uint16_t offset;
};

struct HitList {
    std::vector<HitPlace> places;
    std::vector<std::u16string> rows;
    int chosen = -1;
};

// The one list being shown: the dialog is modal, so there is never a second.
HitList* gShownList = nullptr;

void KeepHit(const FoundHit& hit, void* context) {
    auto* list = (HitList*)context;
    list->places.push_back({(uint16_t)hit.article, (uint16_t)hit.offset});
    list->rows.push_back(*hit.title + u": " + hit.context);
}

// "N hits", made without allocating: the dialog proc lets no exception out.
void CountText(size_t count, WCHAR (&out)[32]) {
    char text[32];
    int n = std::snprintf(text, sizeof text, "%zu %s", count, count == 1 ? "hit" : "hits");
    for (int i = 0; i <= n; i++) out[i] = (WCHAR)(unsigned char)text[i];
}

void FillHitList(HWND dialog, const HitList& list) {
    WCHAR count[32];
    CountText(list.rows.size(), count);
    SetWindowTextW(GetDlgItem(dialog, kHitCountId), count);
    HWND box = GetDlgItem(dialog, kHitListId);
    for (const std::u16string& row : list.rows) SendMessageW(box, LB_ADDSTRING, 0, (LPARAM)row.c_str());
    SendMessageW(box, LB_SETCURSEL, 0, 0);
    SetFocus(box);
}

// The count across the top, the list filling the rest: the dialog covers the
// reader's window, as the index does, so that the text around each hit shows.
void LayoutHitList(HWND dialog, LPARAM size) {
    int w = LOWORD(size) - 14, h = HIWORD(size);
    HWND count = GetDlgItem(dialog, kHitCountId);
    RECT label = {};
    GetClientRect(count, &label);
    int top = 4 + (int)label.bottom + 2;
    MoveWindow(count, 7, 4, w, (int)label.bottom, TRUE);
    MoveWindow(GetDlgItem(dialog, kHitListId), 7, top, w, h - top - 7, TRUE);
}

// A click may arrive with the Enter key's OK behind it: the first one chooses.
INT_PTR ChooseSelectedHit(HWND dialog) {
    if (!gShownList || gShownList->chosen >= 0) return TRUE;
    LRESULT row = SendMessageW(GetDlgItem(dialog, kHitListId), LB_GETCURSEL, 0, 0);
    if (row == LB_ERR || row < 0 || (size_t)row >= gShownList->places.size()) return TRUE;
    gShownList->chosen = (int)row;
    EndDialog(dialog, IDOK);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK FindAllDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitShellDialog(dialog, kFullScreenDialogFlags);
            if (gShownList) FillHitList(dialog, *gShownList);
            return FALSE;  // the focus is on the list
        case WM_SIZE: LayoutHitList(dialog, lParam); return 0;
        case WM_ACTIVATE: HideTaskBarOnActivate(wParam); return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) return ChooseSelectedHit(dialog);
            if (LOWORD(wParam) == kHitListId && HIWORD(wParam) == LBN_DBLCLK) return ChooseSelectedHit(dialog);
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

int ChooseFromAllHits(HWND owner) {
    HitList list;
    int found = 0;
    // The list grows with the hits; memory running out there ends the program as
    // CheckedAlloc does.
    try {
        found = FindAllHits(KeepHit, &list);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
        return 0;
    }
    if (!found) {
        MessageBoxW(owner, TEXT("Not Found!"), TEXT("Velun"), MB_OK);
        return 0;
    }
    gShownList = &list;
    INT_PTR result = RunDialog(kFindAllDialogId, owner, FindAllDialogProc, 0);
    gShownList = nullptr;
    if (result != IDOK || list.chosen < 0) return 0;
    const HitPlace& place = list.places[list.chosen];
    return ShowHitAt(owner, place.article, place.offset);
}
