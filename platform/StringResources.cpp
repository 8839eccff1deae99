// LoadStringW over the string table blocks of the resource store: block n holds
// strings (n - 1) * 16 to n * 16 - 1, each a length word followed by its units.
#include "LittleEndian.h"

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
    HRSRC block = FindResourceW(instance, MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    const BYTE* p = (const BYTE*)LoadResource(instance, block);
    if (!p || !buffer) return 0;
    const BYTE* end = p + SizeofResource(instance, block);
    for (UINT i = 0; i < id % 16; i++) {
        if (end - p < 2) return 0;
        p += 2 + 2 * ReadWord(p);
    }
    if (end - p < 2) return 0;
    int length = ReadWord(p);
    p += 2;
    if (end - p < 2 * length) return 0;
    if (bufferMax <= 0) return 0;
    int n = length < bufferMax - 1 ? length : bufferMax - 1;
    for (int i = 0; i < n; i++) buffer[i] = ReadWord(p + 2 * i);
    buffer[n] = 0;
    return n;
}
