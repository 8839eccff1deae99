// The font dialog: the system's families, a fixed list of sizes, the two base
// buttons and a preview of the 27 mapped letters.
#include "FontDialog.h"

#include <algorithm>

#include "AppState.h"
#include "MainWindow.h"

FontFamilyList gFontFamilies;
WCHAR gPreviewText[kPreviewTextUnits];
const int kSizes[kFontSizeCount] = {10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 52, 72};

namespace {

const WCHAR* const kSizeFormat = TEXT("%d");
constexpr int kSizeTextUnits = 8;
constexpr int kLetterCount = 27;  // stored 'a' to '{'

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetDlgItem(dialog, id), message, wParam, lParam);
}

bool IsChecked(HWND dialog, int id) { return SendItem(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void AddSize(HWND sizeList, int size) {
    WCHAR text[16];
    wsprintfW(text, kSizeFormat, size);
    SendMessageW(sizeList, LB_ADDSTRING, 0, (LPARAM)text);
}

// A stored size below the table's first entry is listed first, so that it can be
// kept; other sizes missing from the table are not listed.
void FillSizeList(HWND dialog, int size) {
    HWND list = GetDlgItem(dialog, kSizeList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int entry : kSizes) {
        if (entry == kSizes[0] && size != 0 && size < kSizes[0]) AddSize(list, size);
        AddSize(list, entry);
    }
    if (size == 0) return;
    WCHAR text[16];
    wsprintfW(text, kSizeFormat, size);
    SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)text);
}

void FillFaceList(HWND dialog, const WCHAR* face) {
    HWND list = GetDlgItem(dialog, kFaceList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (FontFamilyNode* node = gFontFamilies.head; node; node = node->next)
        SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)node->faceName);
    // An empty name would select the first family and OK would then store it in
    // place of the default face.
    if (face[0]) SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)face);
}

void CheckBaseButton(HWND dialog, int base) {
    if (base == kBase224) SendItem(dialog, kBase224Button, BM_SETCHECK, BST_CHECKED, 0);
    if (base == kHebrewBase) SendItem(dialog, kBase5D0Button, BM_SETCHECK, BST_CHECKED, 0);
}

// Digits as they come, a leading '-' as the sign (stored sizes below 10, negative
// ones included, are listed as written); empty text is 0.
// Held to the 32-bit range as it grows, so that a hand-edited size near the limit
// (listed as written) comes back as it was instead of overflowing.
LONG ParseSize(const WCHAR* text) {
    bool negative = text[0] == u'-';
    int64_t value = 0;
    for (const WCHAR* p = text + (negative ? 1 : 0); *p; p++)
        value = std::clamp<int64_t>(value * 10 + (*p - u'0'), INT32_MIN, (int64_t)INT32_MAX + 1);
    return (LONG)std::clamp<int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX);
}

// Reads the selected entries of both lists into the preview LOGFONTW; an entry too
// long for its field is left unread.
void ReadSelection(HWND dialog) {
    LOGFONTW& preview = gFontFamilies.preview;
    HWND faces = GetDlgItem(dialog, kFaceList);
    LRESULT i = SendMessageW(faces, LB_GETCURSEL, 0, 0);
    if (i >= 0 && SendMessageW(faces, LB_GETTEXTLEN, i, 0) < LF_FACESIZE)
        SendMessageW(faces, LB_GETTEXT, i, (LPARAM)preview.lfFaceName);
    HWND sizes = GetDlgItem(dialog, kSizeList);
    LRESULT j = SendMessageW(sizes, LB_GETCURSEL, 0, 0);
    if (j >= 0 && SendMessageW(sizes, LB_GETTEXTLEN, j, 0) < kSizeTextUnits) {
        WCHAR text[kSizeTextUnits] = {};
        SendMessageW(sizes, LB_GETTEXT, j, (LPARAM)text);
        preview.lfHeight = ParseSize(text);
    }
}

// Only the first family of that name counts, and only the Hebrew character set
// does anything.
void CheckFaceCharset(HWND dialog, int mode) {
    const WCHAR* face = gFontFamilies.preview.lfFaceName;
    if (!face[0] || !gFontFamilies.head) return;
    FontFamilyNode* node = gFontFamilies.head;
    while (node && wcscmp(node->faceName, face) != 0) node = node->next;
    if (!node || node->charset != HEBREW_CHARSET || IsChecked(dialog, kBase5D0Button)) return;
    SendItem(dialog, kBase224Button, BM_SETCHECK, BST_UNCHECKED, 0);
    SendItem(dialog, kBase5D0Button, BM_SETCHECK, BST_CHECKED, 0);
    if (!(mode & kApplyStore)) SetPreviewText(dialog, kHebrewBase);
}

void StoreChoice(HWND dialog) {
    FontSettings* settings = gFontFamilies.settings;
    gFontFamilies.previewFont = nullptr;
    if (!settings) return;
    const LOGFONTW& preview = gFontFamilies.preview;
    if (preview.lfHeight != 0) settings->size = preview.lfHeight;
    if (IsChecked(dialog, kBase224Button)) settings->FontAsciiBase = kBase224;
    else if (IsChecked(dialog, kBase5D0Button)) settings->FontAsciiBase = kHebrewBase;
    if (preview.lfFaceName[0]) wcscpy(settings->faceName, preview.lfFaceName);
}

void ShowPreviewFont(HWND dialog) {
    gFontFamilies.previewFont = CreateFontIndirectW(&gFontFamilies.preview);
    SendItem(dialog, kPreviewBox, WM_SETFONT, (WPARAM)gFontFamilies.previewFont, TRUE);
}

// Face list in the left two thirds above, the buttons and the size list in the
// right third, the preview across the lower third.
void LayoutFontDialog(HWND dialog, LPARAM size) {
    int w = LOWORD(size) - 14, h = HIWORD(size) - 14;
    int d = 2 * w / 3, f = 2 * h / 3;
    MoveWindow(GetDlgItem(dialog, kFaceList), 7, 7, d - 7, f - 7, TRUE);
    MoveWindow(GetDlgItem(dialog, kSizeList), d + 7, 59, w - d, f - 59, TRUE);
    MoveWindow(GetDlgItem(dialog, kPreviewBox), 7, f, w, h - f, TRUE);
    MoveWindow(GetDlgItem(dialog, kBase224Button), d + 7, 24, w - d, 10, TRUE);
    MoveWindow(GetDlgItem(dialog, kBase5D0Button), d + 7, 41, w - d, 10, TRUE);
}

void DeletePreviewFont() {
    if (!gFontFamilies.previewFont) return;
    DeleteObject(gFontFamilies.previewFont);
    gFontFamilies.previewFont = nullptr;
}

INT_PTR OnCommand(HWND dialog, WORD id) {
    switch (id) {
        case IDOK:
            ApplyFontDialog(dialog, kApplyStore);
            FreeFontFamilyList();
            EndDialog(dialog, IDOK);
            return 1;
        case IDCANCEL:
            // Freeing the list forgets the preview font: delete it first, or it leaks.
            DeletePreviewFont();
            FreeFontFamilyList();
            EndDialog(dialog, IDCANCEL);
            return 1;
        case kFaceList:
        case kSizeList: ApplyFontDialog(dialog, kApplyCheckCharset); return 0;
        case kBase224Button:
            SetPreviewText(dialog, kBase224);
            ApplyFontDialog(dialog, 0);
            return 0;
        case kBase5D0Button:
            SetPreviewText(dialog, kHebrewBase);
            ApplyFontDialog(dialog, 0);
            return 0;
        default: return 0;
    }
}

}  // namespace

INT_PTR CALLBACK FontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: InitFontDialog(dialog, (FontSettings*)lParam); return 0;
        case WM_ACTIVATE: HideTaskBarOnActivate(wParam); return 0;
        case WM_SIZE: LayoutFontDialog(dialog, lParam); return 0;
        case WM_DESTROY: DeletePreviewFont(); return 1;
        case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
        default: return 0;
    }
}

void InitFontDialog(HWND dialog, FontSettings* settings) {
    HWND owner = GetParent(dialog);
    HDC surface = GetDC(owner);
    InitShellDialog(dialog, kFullScreenDialogFlags);
    ResetFontFamilyList();
    gFontFamilies.settings = settings;
    if (settings->FontAsciiBase == 0) settings->FontAsciiBase = kPlainBase;
    SetPreviewText(dialog, settings->FontAsciiBase);
    CheckBaseButton(dialog, settings->FontAsciiBase);
    // Enumerated afresh at every opening: fonts may have come or gone.
    if (!gFontFamilies.head) EnumFontFamiliesW(surface, nullptr, AddFontFamily, 0);
    ReleaseDC(owner, surface);
    FillFaceList(dialog, settings->faceName);
    FillSizeList(dialog, settings->size);
    SetFocus(GetDlgItem(dialog, kFaceList));
}

void ApplyFontDialog(HWND dialog, int mode) {
    ReadSelection(dialog);
    if (gFontFamilies.previewFont) DeleteObject(gFontFamilies.previewFont);
    if (mode & kApplyCheckCharset) CheckFaceCharset(dialog, mode);
    if (mode & kApplyStore) StoreChoice(dialog);
    else ShowPreviewFont(dialog);
}

// From base + 26 down to base: read from the right, the letters in their order.
void SetPreviewText(HWND dialog, int base) {
    for (int k = 0; k < kLetterCount; k++) gPreviewText[k] = (WCHAR)(base + kLetterCount - 1 - k);
    gPreviewText[kLetterCount] = 0;
    SetDlgItemTextW(dialog, kPreviewBox, gPreviewText);
}

int CALLBACK AddFontFamily(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD, LPARAM) {
    FontFamilyList& list = gFontFamilies;
    if (list.nodesLeft == 0) {
        auto* block = (FontFamilyNode*)calloc(kFamilyBlockNodes, sizeof(FontFamilyNode));
        if (!block) return 0;
        block->blockStart = 1;
        list.nextFree = block;
        list.nodesLeft = kFamilyBlockNodes;
    }
    FontFamilyNode* node = list.nextFree++;
    list.nodesLeft--;
    // The last unit stays 0 from the zero fill: a longer name is cut, never overrun.
    wcsncpy(node->faceName, font->lfFaceName, LF_FACESIZE - 1);
    node->charset = metrics->tmCharSet;
    *list.tail = node;
    list.tail = &node->next;
    return 1;
}

void ResetFontFamilyList() {
    gFontFamilies = FontFamilyList{};
    gFontFamilies.tail = &gFontFamilies.head;
}

// Nodes are linked in allocation order, so the next block start (or the end)
// closes the current block; nothing of a freed block is read afterwards.
void FreeFontFamilyList() {
    FontFamilyNode* node = gFontFamilies.head;
    while (node) {
        FontFamilyNode* next = node->next;
        while (next && !next->blockStart) next = next->next;
        if (node->blockStart) free(node);
        node = next;
    }
    ResetFontFamilyList();
}
