// platform/ is the window layer: the Win32 subset the program calls (win32.h) and
// small named calls for what has no Win32 counterpart, served in qt/ (and fake/ for
// tests). It calls nothing of the program and names nothing of it: the program
// hands over its identity at start (ProgramIdentity.h).
// The C library's wide-string functions over 16-bit WCHAR, and LocalAlloc.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "NoThrow.h"
#include "win32.h"

size_t wcslen(const WCHAR* s) {
    size_t n = 0;
    while (s[n]) n++;
    return n;
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) {
    WCHAR* d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t n) {
    size_t i = 0;
    for (; i < n && src[i]; i++) dst[i] = src[i];
    for (; i < n; i++) dst[i] = 0;
    return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) {
    wcscpy(dst + wcslen(dst), src);
    return dst;
}

int wcscmp(const WCHAR* a, const WCHAR* b) {
    while (*a && *a == *b) a++, b++;
    return (int)*a - (int)*b;
}

static WCHAR FoldCase(WCHAR c) { return (c >= u'A' && c <= u'Z') ? (WCHAR)(c + 32) : c; }

int _wcsicmp(const WCHAR* a, const WCHAR* b) {
    while (*a && FoldCase(*a) == FoldCase(*b)) a++, b++;
    return (int)FoldCase(*a) - (int)FoldCase(*b);
}

// Formats into a std::u16string; supports the conversions the reader uses.
static std::u16string FormatV(const WCHAR* format, va_list args) {
    std::u16string out;
    for (const WCHAR* p = format; *p; p++) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        p++;
        std::string conversion = "%";
        while (*p == u'-' || *p == u'0' || *p == u'+' || *p == u' ' || *p == u'#') conversion += (char)*p++;
        while (*p >= u'0' && *p <= u'9') conversion += (char)*p++;
        if (*p == u'.') {
            conversion += (char)*p++;
            while (*p >= u'0' && *p <= u'9') conversion += (char)*p++;
        }
        if (*p == u'l') p++;
        char buf[64];
        switch (*p) {
            case u'd':
            case u'i':
                std::snprintf(buf, sizeof buf, (conversion + "d").c_str(), va_arg(args, int));
                break;
            case u'u':
            case u'x':
            case u'X':
                std::snprintf(buf, sizeof buf, (conversion + (char)*p).c_str(), va_arg(args, unsigned));
                break;
            case u'c':
                out += (WCHAR)va_arg(args, int);
                continue;
            case u's': {
                const WCHAR* s = va_arg(args, const WCHAR*);
                out += s ? s : u"(null)";
                continue;
            }
            case u'%':
                out += u'%';
                continue;
            case 0:
                return out;
            default:
                continue;
        }
        for (char* c = buf; *c; c++) out += (WCHAR)*c;
    }
    return out;
}

// Formats into out, at most count units with the NUL; -1 when it does not fit, and
// when memory runs out (then out is empty): the C functions throw nothing.
static int FormatInto(WCHAR* out, size_t count, const WCHAR* format, va_list args) {
    out[0] = 0;
    return CallOrFail(-1, [&] {
        std::u16string s = FormatV(format, args);
        bool fits = s.size() < count;
        if (!fits) s.resize(count - 1);
        std::copy(s.begin(), s.end(), out);
        out[s.size()] = 0;
        return fits ? (int)s.size() : -1;
    });
}

int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    // Like the platform's, the output is limited to 1024 units.
    int written = FormatInto(out, 1024, format, args);
    va_end(args);
    return written < 0 ? (int)std::char_traits<char16_t>::length(out) : written;
}

int swprintf(WCHAR* out, size_t count, const WCHAR* format, ...) {
    if (count == 0) return -1;
    va_list args;
    va_start(args, format);
    int written = FormatInto(out, count, format, args);
    va_end(args);
    return written;
}

// LocalAlloc blocks carry their size in front so that LocalSize works.
HLOCAL LocalAlloc(UINT flags, size_t bytes) {
    if (bytes > SIZE_MAX - sizeof(size_t) * 2) return nullptr;  // the header would wrap the size round
    size_t* block = (size_t*)std::malloc(sizeof(size_t) * 2 + bytes);
    if (!block) return nullptr;
    block[0] = bytes;
    if (flags & LMEM_ZEROINIT) std::memset(block + 2, 0, bytes);
    return block + 2;
}

HLOCAL LocalFree(HLOCAL mem) {
    if (mem) std::free((size_t*)mem - 2);
    return nullptr;
}

LPVOID LocalLock(HLOCAL mem) { return mem; }
BOOL LocalUnlock(HLOCAL) { return TRUE; }
size_t LocalSize(HLOCAL mem) { return mem ? ((size_t*)mem)[-2] : 0; }
