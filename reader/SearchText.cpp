// The search string between the box and the stored bytes. Hebrew paragraphs are
// stored in display order with their letters as 'a' to '{', so Hebrew typed in
// reading order is turned into those bytes, and shown back as Hebrew.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "../views/TextMapping.h"
#include "../shell/AppState.h"
#include "../shell/Search.h"
#include "SearchRules.h"

namespace {

constexpr int kSearchLimit = kSearchStringSize - 1;
constexpr WCHAR kAlef = 0x05D0;
constexpr int kLetterCount = '{' - 'a' + 1;  // alef to tav, final forms included

bool IsHebrewLetter(WCHAR c) { return c >= kAlef && c < kAlef + kLetterCount; }
// Niqqud and cantillation: the stored text has none, so without Match Case a
// query at a Hebrew base is read without them.
bool IsHebrewMark(WCHAR c) { return c >= 0x0591 && c <= 0x05C7; }
bool IgnoresHebrewMarks() {
    return IsHebrewBase(gApp.fontSettings.FontAsciiBase) && !(gApp.Flags & kFlagMatchCase);
}

// Index of the letter a typed unit stands for: a Hebrew letter, or a unit as the
// current base shows a stored letter; -1 for any other unit.
int LetterOf(WCHAR c, int32_t base) {
    if (IsHebrewLetter(c)) return c - kAlef;
    int64_t k = (int64_t)c - base;
    return base != kRestingBase && k >= 0 && k < kLetterCount ? (int)k : -1;
}

bool IsDigit(WCHAR c) { return c >= '0' && c <= '9'; }
bool IsNumberSeparator(WCHAR c) { return c == '.' || c == ',' || c == ':'; }

// Length of the number starting at units[i]: digits, with single separators
// between them, which stay left to right inside right-to-left text.
int NumberLength(const WCHAR* units, int i, int n) {
    int j = i;
    while (j < n && (IsDigit(units[j]) || (j > i && j + 1 < n && IsNumberSeparator(units[j]) && IsDigit(units[j + 1]))))
        j++;
    return j - i;
}

// One line of right-to-left text in reading order becomes display order and back
// by the same steps: reverse it, mirroring brackets, then put each number back.
void SwapReadingOrder(WCHAR* units, int n) {
    ReverseText(units, n);
    for (int i = 0; i < n; i++) {
        int length = NumberLength(units, i, n);
        std::reverse(units + i, units + i + length);
        if (length) i += length - 1;
    }
}

}  // namespace

void SetSearchString(const WCHAR* text, int count) {
    int32_t base = gApp.fontSettings.FontAsciiBase;
    WCHAR units[kSearchStringSize] = {};
    bool skipMarks = IgnoresHebrewMarks();
    int n = 0;
    for (int i = 0; i < count && n < kSearchLimit; i++)
        if (!(skipMarks && IsHebrewMark(text[i]))) units[n++] = text[i];
    bool hebrew = std::any_of(units, units + n, [&](WCHAR c) { return LetterOf(c, base) >= 0; });
    if (std::any_of(units, units + n, IsHebrewLetter)) SwapReadingOrder(units, n);
    for (int i = 0; i < n; i++) {
        int letter = LetterOf(units[i], base);
        char stored = (char)(units[i] & 0xFF);  // other units beyond Latin-1 keep their low byte
        if (letter >= 0) stored = (char)('a' + letter);
        else if (hebrew && units[i] == '{') stored = '~';
        gApp.searchString[i] = stored;
    }
    gApp.searchString[n] = 0;
    gApp.searchHebrew = hebrew;
}

bool ShowsReadingOrder(bool rtl) {
    int32_t base = gApp.fontSettings.FontAsciiBase;
    return rtl && base != kRestingBase && IsHebrewLetter(MapByte('a', base));
}

bool ShowStoredText(const BYTE* text, int n, bool rtl, WCHAR* out) {
    int32_t base = gApp.fontSettings.FontAsciiBase;
    if (rtl && base != kRestingBase) {
        for (int i = 0; i < n; i++) out[i] = MapByte(text[i], base);
    } else {
        std::copy(text, text + n, out);
    }
    out[n] = 0;
    bool reading = ShowsReadingOrder(rtl);
    if (reading) SwapReadingOrder(out, n);
    return reading;
}

int ShownSearchString(WCHAR* out) {
    int n = (int)strnlen(gApp.searchString, kSearchLimit);
    ShowStoredText((const BYTE*)gApp.searchString, n, gApp.searchHebrew, out);
    return n;
}
