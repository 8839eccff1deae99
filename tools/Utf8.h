// UTF-8 decoding and encoding of code points for the source files.
#pragma once

#include <string>

constexpr char32_t kBadUtf8 = 0xFFFFFFFF;

// Decodes the next code point at *pos and advances it; kBadUtf8 for a malformed sequence
// (one byte is then skipped).
char32_t NextCodePoint(const std::string& text, size_t* pos);
std::u32string DecodeUtf8(const std::string& text);  // malformed sequences become kBadUtf8
std::string EncodeUtf8(const std::u32string& text);
// "U+05D0 'x'" for messages, the character itself only when it is printable.
std::string DescribeCodePoint(char32_t c);
