// Dialog templates: the dialogs of the reader, and the builder that turns a
// readable description into the DLGTEMPLATE bytes DialogBoxIndirectParamW reads.
#pragma once

#include <vector>

#include "../platform/win32.h"

// Predefined control classes, as the template names them (0xFFFF then the atom).
constexpr WORD kButtonClassAtom = 0x0080;
constexpr WORD kEditClassAtom = 0x0081;
constexpr WORD kStaticClassAtom = 0x0082;
constexpr WORD kListBoxClassAtom = 0x0083;

struct DialogControlDesc {
    WORD classAtom;
    DWORD style;  // WS_CHILD | WS_VISIBLE are added by the builder
    short x, y, cx, cy;
    int id;
    const WCHAR* text;  // null with a non-zero image
    WORD image;         // resource number named instead of a text (SS_BITMAP)
};

struct DialogDesc {
    DWORD style;  // DS_SETFONT is added by the builder
    DWORD exStyle;
    short x, y, cx, cy;
    const WCHAR* caption;
    WORD pointSize;
    const WCHAR* face;
    std::vector<DialogControlDesc> controls;
};

// The template in the platform's in-memory layout: header, menu, class, caption,
// font, then each item aligned to 4 bytes.
std::vector<BYTE> BuildDialogTemplate(const DialogDesc& desc);

constexpr WORD kAboutDialogId = 103;
constexpr WORD kFontDialogId = 105;
constexpr WORD kSearchDialogId = 115;
constexpr WORD kIndexDialogId = 118;
constexpr WORD kGoToDialogId = 120;

// Controls of the About box.
constexpr int kLinkButton = 1025;

// Controls of the font dialog.
constexpr int kFaceList = 1001;
constexpr int kPreviewBox = 1002;
constexpr int kBase97Button = 1003;
constexpr int kBase224Button = 1004;
constexpr int kBase5D0Button = 1005;
constexpr int kSizeList = 1006;

// Controls of the search dialog.
constexpr int kSearchTextId = 1013;
constexpr int kMatchCaseId = 1014;

// Controls of the Go To Article dialog.
constexpr int kGoToNumberId = 1030;
constexpr int kGoToTitleId = 1031;
constexpr int kFindAllId = 1015;
constexpr int kWholeWordId = 1016;

// The list of every hit.
constexpr WORD kFindAllDialogId = 125;
constexpr int kHitCountId = 1033;
constexpr int kHitListId = 1032;

// The note editor: the passage quoted, and the note.
constexpr WORD kNoteDialogId = 128;
constexpr int kNoteQuoteId = 1040;
constexpr int kNoteTextId = 1041;
