#include "Utf8.h"

#include <cstdio>

char32_t NextCodePoint(const std::string& text, size_t* pos) {
    size_t i = *pos;
    unsigned char lead = (unsigned char)text[i];
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    *pos = i + 1;
    if (extra == 0) return lead;
    if (extra < 0 || i + extra >= text.size()) return kBadUtf8;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; k++) {
        unsigned char b = (unsigned char)text[i + k];
        if ((b & 0xC0) != 0x80) return kBadUtf8;
        c = c << 6 | (b & 0x3F);
    }
    static const char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kBadUtf8;
    *pos = i + 1 + extra;
    return c;
}

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    for (size_t pos = 0; pos < text.size();) out += NextCodePoint(text, &pos);
    return out;
}

std::string EncodeUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | c >> 6);
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | c >> 12);
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | c >> 18);
            out += (char)(0x80 | (c >> 12 & 0x3F));
            out += (char)(0x80 | (c >> 6 & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string DescribeCodePoint(char32_t c) {
    if (c == kBadUtf8) return "a byte that is not UTF-8";
    char code[16];
    snprintf(code, sizeof code, "U+%04X", (unsigned)c);
    bool printable = c > 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && !(c >= 0x200B && c <= 0x200F);
    return printable ? std::string(code) + " '" + EncodeUtf8(std::u32string(1, c)) + "'" : std::string(code);
}
