// Mapping stored single-byte text to UTF-16 through the code point base.
#pragma once

#include "../platform/win32.h"

constexpr int32_t kRestingBase = 97;

struct MappingContext {
    WCHAR* buffer;     // owned scratch buffer, holds capacity + 1 units; null until first use
    int32_t capacity;  // units the buffer was allocated for
    int32_t base;      // current base; 97 at rest
};

// The one program-wide mapping context.
extern MappingContext gMapping;

// With a context the result belongs to it (valid until its next MapText); without
// one the base is 97 and the caller frees the result with free(). Null when memory
// is short.
WCHAR* MapText(const BYTE* bytes, int count, MappingContext* context);
// Whether MapText on this context turns the run round (a mapping base and the
// Reverse option on).
bool MapReverses(const MappingContext* context);
// One stored byte at a code point base: 'a' to '{' from the base, '~' as '{'.
WCHAR MapByte(BYTE b, int32_t base);
// Reverses count units in place, mirroring () [] {}. 0, or 1 when it could not.
int ReverseText(WCHAR* units, int count);

// Sets gMapping's base for a run of the given record style: the program-wide
// ascii base for right-to-left text, 97 otherwise. ResetRunBase puts it back to rest.
void SetRunBase(BYTE style);
void ResetRunBase();
