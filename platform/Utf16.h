// Conversions between UTF-16 and UTF-8 for the platform layer and tools.
#pragma once

#include <string>

#include "win32.h"

std::string Utf16ToUtf8(const WCHAR* text, int count = -1);
std::u16string Utf8ToUtf16(const std::string& text);
