// Little-endian writers for building resources in the platform's binary layouts.
#pragma once

#include <vector>

#include "../platform/win32.h"

inline void PutWord(std::vector<BYTE>& out, WORD w) {
    out.push_back((BYTE)(w & 0xFF));
    out.push_back((BYTE)(w >> 8));
}

inline void PutDword(std::vector<BYTE>& out, DWORD d) {
    PutWord(out, (WORD)(d & 0xFFFF));
    PutWord(out, (WORD)(d >> 16));
}

// A NUL-terminated UTF-16 string; null writes just the terminator.
inline void PutString(std::vector<BYTE>& out, const WCHAR* s) {
    for (; s && *s; s++) PutWord(out, *s);
    PutWord(out, 0);
}
