// The rules of a search beside the bytes it matches: the script it reads and word bounds.
#include "SearchRules.h"

#include <cctype>

#include "../content/ArticleRecords.h"
#include "../shell/AppState.h"

namespace {

bool gWholeWord = false;

// Letters of Windows-1252 in the bytes 0x80 to 0x9F: Š Œ Ž š œ ž Ÿ.
bool IsWindowsLetter(BYTE b) { return b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F; }

bool IsWordByte(BYTE b, bool rtl) {
    if (std::isalnum(b) || IsWindowsLetter(b)) return true;
    if (rtl) return b == '{';  // tav, the last stored Hebrew letter
    return b >= 0xC0 && b != 0xD7 && b != 0xF7;
}

}  // namespace

bool IsHebrewBase(int32_t base) { return base == 224 || base == 1488; }

bool HebrewScopedSearch() { return gApp.searchHebrew && IsHebrewBase(gApp.fontSettings.FontAsciiBase); }

bool SearchesRecord(BYTE style) {
    if (!IsHebrewBase(gApp.fontSettings.FontAsciiBase)) return true;
    return ((style & kStyleRtl) != 0) == (gApp.searchHebrew != 0);
}

bool WholeWordSearch() { return gWholeWord; }
void SetWholeWordSearch(bool on) { gWholeWord = on; }

// A bound is needed only where the pattern itself has a word character.
bool IsWholeWordAt(const BYTE* text, size_t length, size_t at, size_t n, BYTE style) {
    if (n == 0 || at + n > length) return false;
    bool rtl = style & kStyleRtl;
    if (at > 0 && IsWordByte(text[at], rtl) && IsWordByte(text[at - 1], rtl)) return false;
    size_t end = at + n;
    return !(end < length && IsWordByte(text[end - 1], rtl) && IsWordByte(text[end], rtl));
}

const char* NextRuledHit(TextScan* scan, const BYTE* text, size_t length, BYTE style) {
    size_t n = scan->pattern->n;
    while (const char* hit = NextTextHit(scan)) {
        if (!gWholeWord || IsWholeWordAt(text, length, (size_t)((const BYTE*)hit - text), n, style)) return hit;
    }
    return nullptr;
}
