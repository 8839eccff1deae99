// Finding a pattern in stored text, with or without telling A-Z from a-z.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

constexpr size_t kScanBlock = 16;
typedef signed char ScanBlock __attribute__((vector_size(kScanBlock)));
// One bit a lane for the lanes of a comparison's result that are all ones.
inline unsigned LanesSet(ScanBlock lanes) {
#if defined(__SSE2__)
    return (unsigned)_mm_movemask_epi8((__m128i)lanes);
#else
    // Each byte's top bit is carried to the top byte of its half by one multiplication.
    uint64_t halves[2];
    std::memcpy(halves, &lanes, kScanBlock);
    constexpr uint64_t kTopBits = 0x8080808080808080ull, kGather = 0x0002040810204081ull;
    unsigned low = (unsigned)(((halves[0] & kTopBits) * kGather) >> 56);
    unsigned high = (unsigned)(((halves[1] & kTopBits) * kGather) >> 56);
    return low | high << 8;
#endif
}

// The `size` bytes from `from` in a text of `length` bytes, for reading in whole
// blocks: the text itself where it holds them; near its end, the window that ends
// there, *shift bytes before `from`; in a text shorter than the window, a copy
// padded with NULs in `padded` (size bytes), *shift 0.
const char* WindowAt(const char* text, size_t length, size_t from, size_t size, char* padded, size_t* shift);

// A pattern made ready for scanning: its first and last bytes (of one longer than
// a block, the byte a block on stands for the last) as whole blocks to match
// sixteen places at a time. It points at the pattern's bytes, which must stay.
struct TextPattern {
    const char* bytes;
    size_t n;
    char foldBit;  // 0x20 when A-Z and a-z are taken as equal, else 0
    bool finalFold;  // stored Hebrew letters: a final form and its ordinary form taken as equal
    size_t last;
    ScanBlock mask[2], value[2];
};
TextPattern MakeTextPattern(const char* pattern, bool matchCase);
// A pattern of stored Hebrew letters: no case, and with `fold` each final letter
// (k, n, p, t, v) matching its ordinary form (l, o, q, u, w) both ways.
TextPattern MakeHebrewPattern(const char* pattern, bool fold);

// The hits of a pattern in one text, in order and overlapping, kept between calls
// so that a text with many hits is read once.
struct TextScan {
    const TextPattern* pattern;
    const char* text;
    const char* block;  // sixteen places, of which those in `lanes` are left to check
    unsigned lanes;
    const char* next;  // the block after it
    const char* end;   // past the last place a hit may start
};

// Only the `length` bytes from text are read.
TextScan StartTextScan(const TextPattern& pattern, const char* text, size_t length);
// The next hit, or null when there is none left.
const char* NextTextHit(TextScan* scan);
// First place in text where pattern matches with A-Z and a-z taken as equal, or null.
const char* FindNoCase(const char* text, const char* pattern);
