// Little-endian fields of the platform's binary layouts (resources, bitmaps, registry data).
#pragma once

#include "win32.h"

inline WORD ReadWord(const BYTE* p) { return (WORD)(p[0] | p[1] << 8); }
inline DWORD ReadDword(const BYTE* p) { return ReadWord(p) | (DWORD)ReadWord(p + 2) << 16; }
