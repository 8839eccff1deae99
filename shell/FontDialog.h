// The font dialog: face, size and the Hebrew code point base.
#pragma once

#include "../platform/win32.h"
#include "../resources/Dialogs.h"
#include "../views/Fonts.h"

constexpr int kPlainBase = 97;
constexpr int kBase224 = 224;
constexpr int kHebrewBase = 0x5D0;

// ApplyFontDialog modes.
constexpr int kApplyStore = 1;
constexpr int kApplyCheckCharset = 2;

// The sizes the dialog lists, smallest first; the keyboard steps through them too.
constexpr int kFontSizeCount = 14;
extern const int kSizes[kFontSizeCount];

constexpr int kFamilyBlockNodes = 25;
constexpr int kPreviewTextUnits = 64;

// One enumerated font family. Nodes come in zero-filled blocks of
// kFamilyBlockNodes; the first node of a block carries blockStart and is the
// pointer the block is freed through.
struct FontFamilyNode {
    FontFamilyNode* next;
    WCHAR faceName[LF_FACESIZE];
    BYTE charset;
    BYTE blockStart;
};

struct FontFamilyList {
    FontFamilyNode* head;
    FontFamilyNode** tail;  // &head while empty, else the last node's next
    FontFamilyNode* nextFree;
    HFONT previewFont;  // owned; the font now set on the preview box
    int nodesLeft;      // in the current block; 0: the next node needs a new block
    LOGFONTW preview;   // only the height (size) and the face are set
    FontSettings* settings;
};

extern FontFamilyList gFontFamilies;
extern WCHAR gPreviewText[kPreviewTextUnits];

INT_PTR CALLBACK FontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitFontDialog(HWND dialog, FontSettings* settings);
void ApplyFontDialog(HWND dialog, int mode);
void SetPreviewText(HWND dialog, int base);
int CALLBACK AddFontFamily(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM param);
void ResetFontFamilyList();
void FreeFontFamilyList();

// Whether the face (empty: the default face) writes Hebrew (HebrewFace.cpp).
bool FaceWritesHebrew(const WCHAR* faceName);
// With no "FontAsciiBase" stored and a face that writes Hebrew, the Hebrew base.
void ChooseFirstRunBase();
