// Conversions between UTF-16 and UTF-8 for the platform layer and tools.
#pragma once

#include <string>

#include "win32.h"

inline bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
inline bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }
inline char32_t CodePointOfPair(WCHAR high, WCHAR low) { return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00); }
// Calls f(index, code point) for each character of count units; a surrogate pair
// is one character at its first unit, and its second unit is skipped.
template <class F>
void ForEachCharacter(const WCHAR* text, int count, F f) {
    for (int i = 0; i < count; i++) {
        if (IsHighSurrogate(text[i]) && i + 1 < count && IsLowSurrogate(text[i + 1])) {
            f(i, CodePointOfPair(text[i], text[i + 1]));
            i++;
        } else {
            f(i, (char32_t)text[i]);
        }
    }
}

// One unit, or a surrogate pair above U+FFFF.
inline void AppendCodePoint(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += (char16_t)c;
        return;
    }
    out += (char16_t)(0xD800 + ((c - 0x10000) >> 10));
    out += (char16_t)(0xDC00 + ((c - 0x10000) & 0x3FF));
}

// Windows fonts draw the C1 controls U+0080..U+009F as the Windows-1252 characters
// of those bytes; everything else is itself.
char32_t C1AsWindows1252(char32_t c);

std::string Utf16ToUtf8(const WCHAR* text, int count = -1);
std::u16string Utf8ToUtf16(const std::string& text);

// The clipboard's text keeps the platform's CR LF line ends; the desktop's text
// targets and files for scripts that ask for it use LF alone.
std::u16string WithLfLineEnds(const WCHAR* text);
// And back: every LF, alone or after a CR, as CR LF.
std::u16string WithCrLfLineEnds(const std::u16string& text);
