// Stored single-byte text to UTF-16: Hebrew letters through the code point base,
// optional reversal for fonts that draw right-to-left runs themselves.
#include "TextMapping.h"

#include "../content/ArticleRecords.h"
#include "../shell/AppState.h"

MappingContext gMapping = {nullptr, 0, kRestingBase};

WCHAR MapByte(BYTE b, int32_t base) {
    if (base == kRestingBase) return b;
    // Unsigned, so that a hand-edited base near the 32-bit limit wraps as 16 bits would.
    if (b >= 'a' && b <= '{') return (WCHAR)((uint32_t)base + (uint32_t)(b - 'a'));
    if (b == '~') return u'{';  // a literal brace inside Hebrew text
    return b;
}

static WCHAR Mirror(WCHAR c) {
    switch (c) {
        case u'(': return u')';
        case u')': return u'(';
        case u'[': return u']';
        case u']': return u'[';
        case u'{': return u'}';
        case u'}': return u'{';
        default: return c;
    }
}

// Swaps in place, so there is no temporary buffer that could be missing.
int ReverseText(WCHAR* units, int count) {
    for (int i = 0, j = count - 1; i <= j; i++, j--) {
        WCHAR a = Mirror(units[i]);
        units[i] = Mirror(units[j]);
        units[j] = a;
    }
    return 0;
}

static WCHAR* BufferFor(int count, MappingContext* context) {
    if (context && context->buffer && context->capacity >= count) return context->buffer;
    WCHAR* buffer = (WCHAR*)malloc(((size_t)count + 1) * sizeof(WCHAR));
    if (buffer && context) {
        free(context->buffer);
        context->buffer = buffer;
        context->capacity = count;
    }
    return buffer;
}

static int32_t BaseOf(const MappingContext* context) {
    return (context && context->base) ? context->base : kRestingBase;
}

bool MapReverses(const MappingContext* context) {
    return BaseOf(context) != kRestingBase && (gApp.Flags & kFlagReverse);
}

WCHAR* MapText(const BYTE* bytes, int count, MappingContext* context) {
    int32_t base = BaseOf(context);
    if (count < 0 || !bytes) count = 0;
    WCHAR* out = BufferFor(count, context);
    if (!out) return nullptr;
    int n = 0;
    for (; n < count && bytes[n]; n++) out[n] = MapByte(bytes[n], base);
    out[n] = 0;
    // Only the units actually converted are reversed: a text shorter than the
    // count offered must not pull the terminator into the run.
    if (n > 0 && MapReverses(context)) ReverseText(out, n);
    return out;
}

void SetRunBase(BYTE style) {
    gMapping.base = (style & kStyleRtl) ? gApp.fontSettings.FontAsciiBase : kRestingBase;
}

void ResetRunBase() { gMapping.base = kRestingBase; }
