// Finding the search string in the collection, and the dialog that asks for it.
#include "Search.h"

#include <cstdlib>
#include <cstring>

#include "../content/Content.h"
#include "../resources/Dialogs.h"
#include "AppState.h"
#include "Bookmarks.h"
#include "../reader/Accessibility.h"
#include "../reader/ArticlePositions.h"
#include "../reader/FindAll.h"
#include "../reader/History.h"
#include "../reader/SearchRules.h"
#include "../reader/StatusLine.h"
#include "MainWindow.h"

namespace {

constexpr int kSearchLimit = kSearchStringSize - 1;

bool SearchIsEmpty() { return gApp.searchString[0] == 0; }

// Lays out an article holding a hit. The layout frees an article it refuses; the
// view's own article then gets its rows back, and the hit it had.
bool TakeArticleWithHit(ArticleView* view, int number, BYTE* article) {
    uint16_t hitStart = view->hitStart, hitEnd = view->hitEnd;
    HistoryEntry left = CurrentPlace();
    RememberPlace(view, gApp.currentArticle);
    LayoutArticle(view, article, TRUE);
    if (view->article == article) {
        SetCurrentArticle(number);
        RecordVisit(left);
        return true;
    }
    if (view->article) {
        LayoutArticle(view, view->article, FALSE);
        view->hitStart = hitStart;
        view->hitEnd = hitEnd;
    }
    return false;
}

struct FirstHitSearch {
    ArticleView* view;
    int hit;
};

// Only the article with the hit is loaded for the view.
bool TakeFirstHit(int number, const BYTE* text, void* context) {
    auto* search = (FirstHitSearch*)context;
    int hit = FindInArticle(text, 0);
    if (!hit) return false;
    BYTE* article = LoadContent(number, nullptr);
    if (!article || !TakeArticleWithHit(search->view, number, article)) return false;
    search->hit = hit;
    return true;
}

int FindInOtherArticles(ArticleView* view) {
    FirstHitSearch search = {view, 0};
    VisitFollowingArticles(gApp.currentArticle, TakeFirstHit, &search);
    return search.hit;
}

void ShowHit(HWND owner, ArticleView* view, uint16_t hit) {
    ScrollToOffset(view, hit);
    // Without a main window (the headless renderer) there is no scroll bar to update.
    if (gApp.mainWindow) {
        RepaintNow(gApp.mainWindow, kPaintAll);
        // Memory running out there ran the exit sequence, which took the view.
        if (!gApp.articleView) return;
    } else {
        PaintArticleView(view, TRUE);
    }
    view->hitStart = hit;
    view->hitEnd = (uint16_t)(hit + strlen(gApp.searchString));
    PaintArticleView(view, TRUE);
    UpdateBookmarkCheck(owner, kCheckSet);
    DrawTitleBox(view);
}

INT_PTR CloseSearchDialog(HWND dialog, INT_PTR result) {
    EndDialog(dialog, result);
    SHSipPreference(gApp.mainWindow, SIP_FORCEDOWN);
    SipShowIM(SIPF_OFF);
    SHFullScreen(gApp.mainWindow, SHFS_HIDESIPBUTTON);
    return TRUE;
}

void InitSearchDialog(HWND dialog) {
    HWND edit = GetDlgItem(dialog, kSearchTextId);
    WCHAR text[kSearchStringSize];
    ShownSearchString(text);
    SendMessageW(edit, EM_LIMITTEXT, kSearchLimit, 0);
    SetWindowTextW(edit, text);
    BOOL matchCase = (gApp.Flags & kFlagMatchCase) != 0;
    SendMessageW(GetDlgItem(dialog, kMatchCaseId), BM_SETCHECK, matchCase ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(GetDlgItem(dialog, kWholeWordId), BM_SETCHECK, WholeWordSearch() ? BST_CHECKED : BST_UNCHECKED, 0);
    NameSearchDialog(dialog);
}

void ActivateSearchDialog(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) return;
    if (gAllowSipInSearch) SHFullScreen(gApp.mainWindow, SHFS_SHOWSIPBUTTON);
    HideTaskBarOnActivate(wParam);
}

// The option is kept at once, also when the search then finds nothing.
HWND StoreSearchInput(HWND dialog) {
    if (SendMessageW(GetDlgItem(dialog, kMatchCaseId), BM_GETCHECK, 0, 0)) {
        gApp.Flags |= kFlagMatchCase;
    } else {
        gApp.Flags &= ~kFlagMatchCase;
    }
    SetWholeWordSearch(SendMessageW(GetDlgItem(dialog, kWholeWordId), BM_GETCHECK, 0, 0) != 0);
    HWND edit = GetDlgItem(dialog, kSearchTextId);
    WCHAR text[kSearchStringSize] = {};
    SetSearchString(text, GetWindowTextW(edit, text, kSearchStringSize));
    return edit;
}

// Nothing found: the dialog stays open with its text selected for another try.
INT_PTR KeepSearchDialog(HWND edit) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return TRUE;
}

INT_PTR AcceptSearch(HWND dialog) {
    HWND edit = StoreSearchInput(dialog);
    if (SearchIsEmpty() || FindNext(dialog)) return CloseSearchDialog(dialog, IDOK);
    return KeepSearchDialog(edit);
}

// The list of every hit; choosing one shows it and ends the search dialog too.
INT_PTR FindAllFromDialog(HWND dialog) {
    HWND edit = StoreSearchInput(dialog);
    if (SearchIsEmpty()) return TRUE;
    if (ChooseFromAllHits(dialog)) return CloseSearchDialog(dialog, IDOK);
    return KeepSearchDialog(edit);
}

}  // namespace

int ShowHitAt(HWND owner, int number, int offset) {
    ArticleView* view = gApp.articleView;
    if (!view) return 0;
    if (number != gApp.currentArticle || !view->article) {
        BYTE* article = LoadContent(number, nullptr);
        if (!article || !TakeArticleWithHit(view, number, article)) return 0;
    }
    ShowHit(owner, view, (uint16_t)offset);
    return 1;
}

int FindNext(HWND owner) {
    ArticleView* view = gApp.articleView;
    // Without a view there is nowhere to show a hit.
    if (SearchIsEmpty() || !view) return 0;
    int fromArticle = gApp.currentArticle, fromHit = view->hitStart;
    int hit = view->article ? FindInArticle(view->article, view->hitStart + 1) : 0;
    if (!hit) hit = FindInOtherArticles(view);
    // Around again: the part of the current article before the previous hit.
    if (!hit && view->hitStart && view->article) hit = FindInArticle(view->article, 0);
    if (!hit) {
        MessageBoxW(owner, TEXT("Not Found!"), TEXT("Velun"), MB_OK);
        return 0;
    }
    NoteSearchStep(fromArticle, fromHit, gApp.currentArticle, hit);
    ShowHit(owner, view, (uint16_t)hit);
    return 1;
}

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: InitSearchDialog(dialog); return TRUE;
        case WM_ACTIVATE: ActivateSearchDialog(wParam); return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) return AcceptSearch(dialog);
            if (LOWORD(wParam) == kFindAllId) return FindAllFromDialog(dialog);
            if (LOWORD(wParam) == IDCANCEL) return CloseSearchDialog(dialog, IDCANCEL);
            return FALSE;
    }
    return FALSE;
}
