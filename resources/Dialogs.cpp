// The reader's dialogs, described control by control and built into real
// dialog templates at start-up.
#include "Dialogs.h"

#include "ResourceTables.h"
#include "Bitmaps.h"
#include "generated/ProgramFacts.h"
#include "ResourceBytes.h"

namespace {

void AlignTo(std::vector<BYTE>& out, size_t n) {
    while (out.size() % n) out.push_back(0);
}

constexpr DWORD kDialogFrame = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER;
constexpr WORD kSystemFontPoints = 8;
const WCHAR* const kSystemFace = TEXT("System");

DialogDesc AboutDialog() {
    return {kDialogFrame | DS_MODALFRAME,
            WS_EX_CAPTIONOKBTN,
            0, 0, 142, 73,
            TEXT("Velun"),
            kSystemFontPoints,
            kSystemFace,
            {
                {kStaticClassAtom, SS_LEFT | SS_NOPREFIX, 7, 7, 81, 8, -1, TEXT("Velun 2026 Edition"), 0},
                {kStaticClassAtom, SS_BITMAP, 88, 7, 47, 20, -1, nullptr, kBitmapAbout},
                {kStaticClassAtom, SS_LEFT, 7, 24, 45, 8, -1, TEXT("Version " VELUN_VERSION), 0},
                {kStaticClassAtom, SS_LEFT, 7, 41, 80, 8, -1, TEXT("(c) 2026 Velmora"), 0},
                {kButtonClassAtom, BS_OWNERDRAW | WS_TABSTOP, 7, 58, 100, 8, kLinkButton, TEXT("www.velmora.example"), 0},
            }};
}

DialogDesc FontDialog() {
    constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_GROUP | WS_TABSTOP;
    return {kDialogFrame,
            WS_EX_CAPTIONOKBTN,
            0, 0, 152, 167,
            TEXT("Choose Font"),
            kSystemFontPoints,
            kSystemFace,
            {
                {kListBoxClassAtom, kList | LBS_SORT, 7, 7, 92, 94, kFaceList, TEXT(""), 0},
                {kListBoxClassAtom, kList, 103, 7, 42, 94, kSizeList, TEXT(""), 0},
                {kEditClassAtom, ES_MULTILINE | ES_RIGHT | ES_AUTOVSCROLL | WS_BORDER | WS_TABSTOP, 7, 136, 138, 24,
                 kPreviewBox, TEXT(""), 0},
                {kButtonClassAtom, BS_AUTORADIOBUTTON, 7, 104, 138, 10, kBase97Button, TEXT("Latin letters (97)"), 0},
                {kButtonClassAtom, BS_AUTORADIOBUTTON, 7, 114, 138, 10, kBase224Button,
                 TEXT("Hebrew, ISO 8859-8 (224)"), 0},
                {kButtonClassAtom, BS_AUTORADIOBUTTON, 7, 124, 138, 10, kBase5D0Button, TEXT("Hebrew, Unicode (0x5D0)"),
                 0},
            }};
}

DialogDesc SearchDialog() {
    return {kDialogFrame,
            WS_EX_CAPTIONOKBTN,
            0, 0, 126, 88,
            TEXT("Velun"),
            kSystemFontPoints,
            kSystemFace,
            {
                {kStaticClassAtom, SS_CENTER | SS_NOPREFIX, 7, 7, 112, 8, -1, TEXT("Search"), 0},
                {kEditClassAtom, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 21, 112, 13, kSearchTextId, TEXT(""), 0},
                {kButtonClassAtom, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 41, 112, 10, kMatchCaseId, TEXT("Match Case"), 0},
                {kButtonClassAtom, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 55, 112, 10, kWholeWordId, TEXT("Whole Word"), 0},
                {kButtonClassAtom, BS_PUSHBUTTON | WS_TABSTOP, 69, 69, 50, 14, kFindAllId, TEXT("Find All"), 0},
            }};
}

DialogDesc FindAllDialog() {
    constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_TABSTOP;
    return {kDialogFrame,
            WS_EX_CAPTIONOKBTN,
            0, 0, 160, 160,
            TEXT("Find All"),
            kSystemFontPoints,
            kSystemFace,
            {
                {kStaticClassAtom, SS_LEFT | SS_NOPREFIX, 7, 4, 146, 8, kHitCountId, TEXT(""), 0},
                {kListBoxClassAtom, kList, 7, 14, 146, 139, kHitListId, TEXT(""), 0},
            }};
}

// No controls: the index tree is drawn on the dialog itself.
DialogDesc IndexDialog() {
    return {kDialogFrame, WS_EX_CAPTIONOKBTN, 0, 0, 160, 160, TEXT("Choose Section"), kSystemFontPoints, kSystemFace,
            {}};
}

// The number box and, below it, the title of the article it names.
DialogDesc GoToDialog() {
    return {kDialogFrame,
            0,
            0, 0, 140, 62,
            TEXT("Go To Article"),
            kSystemFontPoints,
            kSystemFace,
            {
                {kStaticClassAtom, SS_LEFT, 7, 9, 60, 8, -1, TEXT("Article number:"), 0},
                {kEditClassAtom, ES_NUMBER | WS_BORDER | WS_TABSTOP, 80, 7, 53, 12, kGoToNumberId, TEXT(""), 0},
                {kStaticClassAtom, SS_LEFT | SS_NOPREFIX, 7, 26, 126, 16, kGoToTitleId, TEXT(""), 0},
                {kButtonClassAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 29, 45, 50, 12, IDOK, TEXT("Go"), 0},
                {kButtonClassAtom, BS_PUSHBUTTON | WS_TABSTOP, 83, 45, 50, 12, IDCANCEL, TEXT("Cancel"), 0},
            }};
}

// The passage quoted above a box for a note of any length; Enter makes a new line.
DialogDesc NoteDialog() {
    constexpr DWORD kBox = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    return {kDialogFrame,
            0,
            0, 0, 200, 150,
            TEXT("Note"),
            kSystemFontPoints,
            kSystemFace,
            {
                {kStaticClassAtom, SS_LEFT | SS_NOPREFIX, 7, 7, 186, 26, kNoteQuoteId, TEXT(""), 0},
                {kEditClassAtom, kBox, 7, 36, 186, 90, kNoteTextId, TEXT(""), 0},
                {kButtonClassAtom, BS_PUSHBUTTON | WS_TABSTOP, 89, 131, 50, 12, IDOK, TEXT("OK"), 0},
                {kButtonClassAtom, BS_PUSHBUTTON | WS_TABSTOP, 143, 131, 50, 12, IDCANCEL, TEXT("Cancel"), 0},
            }};
}

const std::vector<BYTE> gAbout = BuildDialogTemplate(AboutDialog());
const std::vector<BYTE> gFont = BuildDialogTemplate(FontDialog());
const std::vector<BYTE> gSearch = BuildDialogTemplate(SearchDialog());
const std::vector<BYTE> gIndex = BuildDialogTemplate(IndexDialog());
const std::vector<BYTE> gGoTo = BuildDialogTemplate(GoToDialog());
const std::vector<BYTE> gFindAll = BuildDialogTemplate(FindAllDialog());
const std::vector<BYTE> gNote = BuildDialogTemplate(NoteDialog());

constexpr uint16_t kDialogType = 5;
const ResourceEntry gEntries[] = {
    {kDialogType, kAboutDialogId, gAbout.data(), (uint32_t)gAbout.size()},
    {kDialogType, kFontDialogId, gFont.data(), (uint32_t)gFont.size()},
    {kDialogType, kSearchDialogId, gSearch.data(), (uint32_t)gSearch.size()},
    {kDialogType, kIndexDialogId, gIndex.data(), (uint32_t)gIndex.size()},
    {kDialogType, kGoToDialogId, gGoTo.data(), (uint32_t)gGoTo.size()},
    {kDialogType, kFindAllDialogId, gFindAll.data(), (uint32_t)gFindAll.size()},
    {kDialogType, kNoteDialogId, gNote.data(), (uint32_t)gNote.size()},
};

}  // namespace

std::vector<BYTE> BuildDialogTemplate(const DialogDesc& desc) {
    std::vector<BYTE> out;
    PutDword(out, desc.style | DS_SETFONT);
    PutDword(out, desc.exStyle);
    PutWord(out, (WORD)desc.controls.size());
    for (short v : {desc.x, desc.y, desc.cx, desc.cy}) PutWord(out, (WORD)v);
    PutWord(out, 0);  // no menu
    PutWord(out, 0);  // the default dialog class
    PutString(out, desc.caption);
    PutWord(out, desc.pointSize);
    PutString(out, desc.face);
    for (const DialogControlDesc& c : desc.controls) {
        AlignTo(out, 4);
        PutDword(out, c.style | WS_CHILD | WS_VISIBLE);
        PutDword(out, 0);
        for (short v : {c.x, c.y, c.cx, c.cy}) PutWord(out, (WORD)v);
        PutWord(out, (WORD)c.id);
        PutWord(out, 0xFFFF);
        PutWord(out, c.classAtom);
        if (c.image) {
            PutWord(out, 0xFFFF);
            PutWord(out, c.image);
        } else {
            PutString(out, c.text);
        }
        PutWord(out, 0);  // no creation data
    }
    return out;
}

const ResourceTable kDialogResourceTable = {gEntries, sizeof gEntries / sizeof gEntries[0]};
