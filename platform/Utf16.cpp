#include "Utf16.h"

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
