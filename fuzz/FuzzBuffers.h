// Buffers as the content loader hands them out: the bytes, then the zero tail,
// allocated to the byte so that the sanitizer sees any read past the end.
#pragma once

#include <cstdlib>
#include <cstring>

#include "content/Content.h"

inline BYTE* FuzzContentCopy(const uint8_t* data, size_t size) {
    auto* buffer = (BYTE*)std::malloc(size + kContentZeroTail);
    if (!buffer) std::abort();
    if (size) std::memcpy(buffer, data, size);
    std::memset(buffer + size, 0, kContentZeroTail);
    return buffer;
}

// The harnesses check their invariants with this rather than assert, which a
// release build would drop.
inline void FuzzCheck(bool holds) {
    if (!holds) std::abort();
}
