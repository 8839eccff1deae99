// The font dialog: the system's families, a fixed list of sizes after "Default",
// the three base buttons and a preview of a Latin line and the 27 mapped letters.
#include "FontDialog.h"

#include <algorithm>
#include <iterator>

#include "AppState.h"
#include "MainWindow.h"

FontFamilyList gFontFamilies;
WCHAR gPreviewText[kPreviewTextUnits];
const int kSizes[kFontSizeCount] = {10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 52, 72};

namespace {

const WCHAR* const kSizeFormat = TEXT("%d");
// The size the platform gives when none is stored, marked in the list.
const WCHAR* const kDefaultSizeFormat = TEXT("%d (default)");
const WCHAR* const kDefaultSizeText = TEXT("Default");
constexpr int kSizeTextUnits = 16;
constexpr int kLetterCount = 27;  // stored 'a' to '{'
const WCHAR kLatinSample[] = TEXT("Letters, Writing and Type\r\n");

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetDlgItem(dialog, id), message, wParam, lParam);
}

bool IsChecked(HWND dialog, int id) { return SendItem(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void AddSize(HWND sizeList, int size, int defaultSize) {
    WCHAR text[32];
    wsprintfW(text, size == defaultSize ? kDefaultSizeFormat : kSizeFormat, size);
    SendMessageW(sizeList, LB_ADDSTRING, 0, (LPARAM)text);
}

// The cell height the platform gives the face when no size is stored: sizes are
// cell heights in pixels, so the entries below it give smaller text than Default.
int DefaultSizeOf(HDC surface, const WCHAR* face) {
    LOGFONTW description = {};
    wcsncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ replaced = SelectObject(surface, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(surface, &metrics);
    SelectObject(surface, replaced);
    DeleteObject(font);
    return metrics.tmHeight;
}

// "Default", then the table in ascending order with a stored size that is not in
// it at its place, so that it can be kept; the stored size is selected.
void FillSizeList(HWND dialog, int size, int defaultSize) {
    HWND list = GetDlgItem(dialog, kSizeList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)kDefaultSizeText);
    bool listed = size == 0;
    for (int entry : kSizes) {
        if (!listed && size <= entry) {
            if (size < entry) AddSize(list, size, defaultSize);
            listed = true;
        }
        AddSize(list, entry, defaultSize);
    }
    if (!listed) AddSize(list, size, defaultSize);
    WCHAR text[32];
    if (size == 0) wcscpy(text, kDefaultSizeText);
    else wsprintfW(text, size == defaultSize ? kDefaultSizeFormat : kSizeFormat, size);
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
    if (base == kPlainBase) SendItem(dialog, kBase97Button, BM_SETCHECK, BST_CHECKED, 0);
    if (base == kBase224) SendItem(dialog, kBase224Button, BM_SETCHECK, BST_CHECKED, 0);
    if (base == kHebrewBase) SendItem(dialog, kBase5D0Button, BM_SETCHECK, BST_CHECKED, 0);
}

// The digits at the start, a leading '-' as the sign (stored sizes, negative ones
// included, are listed as written); "Default" and empty text are 0.
// Held to the 32-bit range as it grows, so that a hand-edited size near the limit
// (listed as written) comes back as it was instead of overflowing.
LONG ParseSize(const WCHAR* text) {
    bool negative = text[0] == u'-';
    int64_t value = 0;
    for (const WCHAR* p = text + (negative ? 1 : 0); *p >= u'0' && *p <= u'9'; p++)
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
    SendItem(dialog, kBase97Button, BM_SETCHECK, BST_UNCHECKED, 0);
    SendItem(dialog, kBase224Button, BM_SETCHECK, BST_UNCHECKED, 0);
    SendItem(dialog, kBase5D0Button, BM_SETCHECK, BST_CHECKED, 0);
    if (!(mode & kApplyStore)) SetPreviewText(dialog, kHebrewBase);
}

void StoreChoice(HWND dialog) {
    FontSettings* settings = gFontFamilies.settings;
    gFontFamilies.previewFont = nullptr;
    if (!settings) return;
    const LOGFONTW& preview = gFontFamilies.preview;
    // A selected entry is stored, "Default" (0) included.
    if (SendItem(dialog, kSizeList, LB_GETCURSEL, 0, 0) >= 0) settings->size = preview.lfHeight;
    if (IsChecked(dialog, kBase224Button)) settings->FontAsciiBase = kBase224;
    else if (IsChecked(dialog, kBase97Button)) settings->FontAsciiBase = kPlainBase;
    else if (IsChecked(dialog, kBase5D0Button)) settings->FontAsciiBase = kHebrewBase;
    if (preview.lfFaceName[0]) wcscpy(settings->faceName, preview.lfFaceName);
}

void ShowPreviewFont(HWND dialog) {
    gFontFamilies.previewFont = CreateFontIndirectW(&gFontFamilies.preview);
    SendItem(dialog, kPreviewBox, WM_SETFONT, (WPARAM)gFontFamilies.previewFont, TRUE);
}

// The face list in the left two thirds above, the size list beside it, the three
// base buttons in rows across the width under them, the preview in the lowest
// quarter.
void LayoutFontDialog(HWND dialog, LPARAM size) {
    constexpr int kRow = 16, kGap = 4;
    int w = LOWORD(size) - 14, h = HIWORD(size) - 14;
    int d = 2 * w / 3, preview = h / 4;
    int buttons = 7 + h - preview - kGap - 3 * kRow;
    int lists = buttons - kGap - 7;
    MoveWindow(GetDlgItem(dialog, kFaceList), 7, 7, d - 7, lists, TRUE);
    MoveWindow(GetDlgItem(dialog, kSizeList), d + 7, 7, w - d, lists, TRUE);
    const int rows[] = {kBase97Button, kBase224Button, kBase5D0Button};
    for (int i = 0; i < 3; i++) MoveWindow(GetDlgItem(dialog, rows[i]), 7, buttons + i * kRow, w, kRow, TRUE);
    MoveWindow(GetDlgItem(dialog, kPreviewBox), 7, 7 + h - preview, w, preview, TRUE);
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
        case kBase97Button:
            SetPreviewText(dialog, kPlainBase);
            ApplyFontDialog(dialog, 0);
            return 0;
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
    int defaultSize = DefaultSizeOf(surface, settings->faceName);
    ReleaseDC(owner, surface);
    FillFaceList(dialog, settings->faceName);
    FillSizeList(dialog, settings->size, defaultSize);
    // The preview shows the current face and size from the start.
    ApplyFontDialog(dialog, 0);
    SetFocus(GetDlgItem(dialog, kFaceList));
}

void ApplyFontDialog(HWND dialog, int mode) {
    ReadSelection(dialog);
    if (gFontFamilies.previewFont) DeleteObject(gFontFamilies.previewFont);
    if (mode & kApplyCheckCharset) CheckFaceCharset(dialog, mode);
    if (mode & kApplyStore) StoreChoice(dialog);
    else ShowPreviewFont(dialog);
}

// A Latin line, then the letters from base + 26 down to base: read from the right,
// the letters in their order.
void SetPreviewText(HWND dialog, int base) {
    constexpr int kLatin = (int)std::size(kLatinSample) - 1;
    static_assert(kLatin + kLetterCount < kPreviewTextUnits);
    std::copy(kLatinSample, kLatinSample + kLatin, gPreviewText);
    for (int k = 0; k < kLetterCount; k++) gPreviewText[kLatin + k] = (WCHAR)(base + kLetterCount - 1 - k);
    gPreviewText[kLatin + kLetterCount] = 0;
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
