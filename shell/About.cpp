// shell/ is the handheld program: start-up, the window and its commands, settings,
// bookmarks, search, dialogs, export and About. It calls views/, content/,
// resources/ and platform/, and each of reader/'s features through one call at most.
// The About box with its link to the vendor's home page, and the update check,
// which only hands a URL to the browser: the program itself never goes online.
#include "About.h"

#include <string>

#include "generated/ProgramFacts.h"
#include "../reader/LinkView.h"
#include "../views/Palette.h"

HFONT gLinkFont;

namespace {

const WCHAR kUpdateBase[] = TEXT("http://www.velmora.example/cgi-bin/upgrade?p=arm/");
const WCHAR kProduct[] = TEXT("Velmora/Tessaly-Velun");
const WCHAR kVersionParam[] = TEXT("&v=" VELUN_VERSION);
const WCHAR kEscapeFormat[] = TEXT("%%%.2X");
const WCHAR kHomePage[] = TEXT("http://www.velmora.example");
const WCHAR kOpenVerb[] = TEXT("Open");
const WCHAR kLinkFallbackFace[] = TEXT("Tahoma");
// The address is shown so that it can be opened by hand.
const WCHAR kNoBrowserText[] = TEXT("No web browser could be started to open the update page:\n\n");
const WCHAR kNoBrowserCaption[] = TEXT("Velun");

constexpr int kLinkTextUnits = 100;
constexpr int kLinkPoints = 10;
constexpr UINT kKeepPlaceAndShow = SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

bool IsPlainUrlUnit(WCHAR c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'.' || c == u'/';
}

// One unit as it goes into the query; pieces hold at most "%FFFF".
void EscapeUnit(WCHAR c, WCHAR (&piece)[8]) {
    if (c == u' ') {
        wcscpy(piece, TEXT("+"));
    } else if (IsPlainUrlUnit(c)) {
        piece[0] = c;
        piece[1] = 0;
    } else {
        swprintf(piece, 8, kEscapeFormat, (unsigned)c);
    }
}

void EndAboutDialog(HWND dialog, int result) {
    EndDialog(dialog, result);
    if (gLinkFont) DeleteObject(gLinkFont);
    gLinkFont = nullptr;
}

}  // namespace

bool OpenInBrowser(HWND window, LPCWSTR url) {
    SHELLEXECUTEINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = window;
    info.lpVerb = kOpenVerb;
    info.lpFile = url;
    return ShellExecuteEx(&info) != FALSE;
}

void BuildUpdateUrl(WCHAR (&url)[kUpdateUrlUnits], LPCWSTR product) {
    std::memset(url, 0, sizeof url);
    wcscpy(url, kUpdateBase);
    size_t n = wcslen(url);
    const size_t limit = kUpdateUrlUnits - 1 - wcslen(kVersionParam);
    for (const WCHAR* p = product; *p; p++) {
        WCHAR piece[8];
        EscapeUnit(*p, piece);
        size_t length = wcslen(piece);
        if (n + length > limit) break;
        wcscpy(url + n, piece);
        n += length;
    }
    wcscpy(url + n, kVersionParam);
}

void CheckForUpdates(HWND owner) {
    WCHAR url[kUpdateUrlUnits];
    BuildUpdateUrl(url, kProduct);
    if (OpenInBrowser(owner, url)) return;
    WCHAR text[sizeof kNoBrowserText / sizeof kNoBrowserText[0] + kUpdateUrlUnits];
    wcscpy(wcscpy(text, kNoBrowserText) + wcslen(kNoBrowserText), url);
    MessageBoxW(owner, text, kNoBrowserCaption, MB_OK | MB_ICONEXCLAMATION);
}

void OpenVendorHomePage(HWND window) { OpenInBrowser(window, kHomePage); }

HFONT CreateLinkFont(HWND dialog) {
    HWND link = GetDlgItem(dialog, kLinkButton);
    HDC dc = GetDC(link);
    LOGFONTW font = {};
    GetObjectW((HGDIOBJ)SendMessageW(link, WM_GETFONT, 0, 0), sizeof font, &font);
    font.lfUnderline = TRUE;
    if (!font.lfFaceName[0]) wcscpy(font.lfFaceName, kLinkFallbackFace);
    if (font.lfHeight == 0) font.lfHeight = -(kLinkPoints * GetDeviceCaps(dc, LOGPIXELSY)) / 72;
    font.lfWeight = FW_EXTRABOLD;
    HFONT linkFont = CreateFontIndirectW(&font);
    if (!linkFont) {
        ReleaseDC(link, dc);
        return nullptr;
    }
    SelectObject(dc, linkFont);
    WCHAR text[kLinkTextUnits] = {};
    GetWindowTextW(link, text, kLinkTextUnits);
    SendMessageW(link, WM_SETFONT, (WPARAM)linkFont, TRUE);
    SIZE extent = {};
    GetTextExtentExPointW(dc, text, (int)wcslen(text), 0, nullptr, nullptr, &extent);
    SetWindowPos(link, nullptr, 0, 0, extent.cx + 2 * GetSystemMetrics(SM_CXEDGE),
                 extent.cy + 2 * GetSystemMetrics(SM_CYEDGE), kKeepPlaceAndShow);
    ReleaseDC(link, dc);
    return linkFont;
}

// Focus and selection are not drawn: the link looks the same in every state.
void DrawLinkButton(const DRAWITEMSTRUCT* item) {
    WCHAR text[kLinkTextUnits] = {};
    GetWindowTextW(item->hwndItem, text, kLinkTextUnits);
    HDC dc = item->hDC;
    // By night the link stands on the night page, in the article links' night colour.
    SetTextColor(dc, gNightReading ? kNightLinkColour : kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, ActivePalette().background);
    ExtTextOutW(dc, GetSystemMetrics(SM_CXEDGE) / 2, 0, ETO_OPAQUE, &item->rcItem, text, (UINT)wcslen(text), nullptr);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: gLinkFont = CreateLinkFont(dialog); return 0;
        case WM_DRAWITEM:
            if (lParam) DrawLinkButton((const DRAWITEMSTRUCT*)lParam);
            return 0;
        case WM_COMMAND: {
            int id = (SHORT)LOWORD(wParam);
            if (id <= 0) return 0;
            if (id == IDOK || id == IDCANCEL) {
                EndAboutDialog(dialog, id);
                return 1;
            }
            if (id == kLinkButton) OpenVendorHomePage(GetDlgItem(dialog, kLinkButton));
            return 0;
        }
        default: return 0;
    }
}
