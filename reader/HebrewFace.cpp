// Whether a face writes Hebrew, by the character set the font enumeration reports
// for it (the rule the font dialog applies to a chosen face), and the first run's
// base that follows from it.
#include "../shell/AppState.h"
#include "../shell/FontDialog.h"
#include "../shell/Settings.h"

namespace {

constexpr int32_t kBaseAbsent = INT32_MIN;

int CALLBACK NoteCharset(const LOGFONTW*, const TEXTMETRICW* metrics, DWORD, LPARAM charset) {
    *(BYTE*)charset = metrics->tmCharSet;
    return 0;  // the family's first entry decides
}

}  // namespace

bool FaceWritesHebrew(const WCHAR* faceName) {
    HDC dc = GetDC(nullptr);
    if (!dc) return false;
    LOGFONTW description = {};
    for (int i = 0; i < LF_FACESIZE - 1 && faceName[i]; i++) description.lfFaceName[i] = faceName[i];
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    // An empty face name stands for the default face: ask the DC which one it is.
    WCHAR face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    if (previous) SelectObject(dc, previous);
    if (font) DeleteObject(font);
    BYTE charset = 0;
    if (face[0]) EnumFontFamiliesW(dc, face, NoteCharset, (LPARAM)&charset);
    ReleaseDC(nullptr, dc);
    return charset == HEBREW_CHARSET;
}

void ChooseFirstRunBase() {
    if (ReadSetting(TEXT("FontAsciiBase"), kBaseAbsent) != kBaseAbsent) return;
    if (FaceWritesHebrew(gApp.fontSettings.faceName)) gApp.fontSettings.FontAsciiBase = kHebrewBase;
}
