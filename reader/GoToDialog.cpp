#include "GoToDialog.h"

#include <cstdlib>

#include "../content/ArticleRecords.h"
#include "../content/Content.h"
#include "../resources/Dialogs.h"
#include "../views/TextMapping.h"
#include "../shell/AppState.h"

namespace {

constexpr int kNumberDigits = 3;

// The title as a text widget shows it: letters through the current base, and a
// right-to-left title turned from its stored display order into reading order.
void ShowTitleOf(HWND dialog, int number) {
    HWND label = GetDlgItem(dialog, kGoToTitleId);
    int status = 0;
    BYTE* article = number ? LoadContent(number, &status) : nullptr;
    ArticleHeaderEntry title = {};
    if (article) ReadArticleHeader(article, &title, nullptr);
    if (!title.text) {
        SetWindowTextW(label, number ? TEXT("") : TEXT("Articles 1 to 187"));
        free(article);
        return;
    }
    SetRunBase(title.style);
    WCHAR* text = MapText(title.text, (int)title.textLength, &gMapping);
    if (text && (title.style & kStyleRtl)) ReverseText(text, (int)title.textLength);
    SetWindowTextW(label, text ? text : TEXT(""));
    ResetRunBase();
    free(article);
}

int TypedNumber(HWND dialog) {
    WCHAR text[kNumberDigits + 2] = {};
    GetWindowTextW(GetDlgItem(dialog, kGoToNumberId), text, kNumberDigits + 2);
    return ArticleNumberOf(text);
}

void InitGoToDialog(HWND dialog) {
    HWND edit = GetDlgItem(dialog, kGoToNumberId);
    SendMessageW(edit, EM_LIMITTEXT, kNumberDigits, 0);
    WCHAR current[16] = {};
    if (gApp.currentArticle >= 1 && gApp.currentArticle <= kArticleCount)
        wsprintfW(current, TEXT("%d"), (int)gApp.currentArticle);
    SetWindowTextW(edit, current);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    ShowTitleOf(dialog, TypedNumber(dialog));
}

}  // namespace

int ArticleNumberOf(const WCHAR* text) {
    int n = 0, digits = 0;
    for (; *text; text++, digits++) {
        if (*text < '0' || *text > '9' || digits == kNumberDigits) return 0;
        n = n * 10 + (*text - '0');
    }
    return n >= 1 && n <= kArticleCount ? n : 0;
}

INT_PTR CALLBACK GoToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: InitGoToDialog(dialog); return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kGoToNumberId:
                    if (HIWORD(wParam) == EN_CHANGE) ShowTitleOf(dialog, TypedNumber(dialog));
                    return TRUE;
                case IDOK:
                    if (int n = TypedNumber(dialog)) return EndDialog(dialog, n);
                    SendMessageW(GetDlgItem(dialog, kGoToNumberId), EM_SETSEL, 0, -1);
                    return TRUE;
                case IDCANCEL: return EndDialog(dialog, 0);
            }
            return FALSE;
    }
    return FALSE;
}
