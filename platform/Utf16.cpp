#include "Utf16.h"

char32_t C1AsWindows1252(char32_t c) {
    static const char16_t kWindows1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? kWindows1252[c - 0x80] : c;
}

std::string Utf16ToUtf8(const WCHAR* text, int count) {
    std::string out;
    if (!text) return out;
    if (count < 0) count = (int)wcslen(text);
    for (int i = 0; i < count; i++) {
        uint32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < count && IsLowSurrogate(text[i + 1])) {
            c = CodePointOfPair(text[i], text[i + 1]);
            i++;
        }
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | (c >> 12));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | (c >> 18));
            out += (char)(0x80 | ((c >> 12) & 0x3F));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char b = (unsigned char)text[i];
        uint32_t c;
        int extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { out += u'\uFFFD'; i++; continue; }
        bool bad = false;
        for (int k = 1; k <= extra; k++) {
            if (i + k >= text.size() || ((unsigned char)text[i + k] & 0xC0) != 0x80) { bad = true; break; }
            c = (c << 6) | ((unsigned char)text[i + k] & 0x3F);
        }
        if (bad) { out += u'\uFFFD'; i++; continue; }
        i += extra + 1;
        AppendCodePoint(out, c);
    }
    return out;
}

std::u16string WithLfLineEnds(const WCHAR* text) {
    std::u16string out;
    for (const WCHAR* p = text; *p; p++)
        if (!(p[0] == u'\r' && p[1] == u'\n')) out += (char16_t)*p;
    return out;
}

std::u16string WithCrLfLineEnds(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
        out += text[i];
    }
    return out;
}
