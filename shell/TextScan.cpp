// Finding a pattern in stored text. A common word has thousands of hits in the
// collection, and a search that finds nothing reads all of it, so the scan looks
// at sixteen places at a time: those where the pattern's first and last bytes (of
// a long one, the byte sixteen on) both match in the chosen case rule are checked
// in full.
#include "TextScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kBlock = kScanBlock;
typedef ScanBlock Block;

// A byte matches a pattern byte p when (byte | MaskFor(p)) == ValueFor(p): with
// the fold, a letter p matches either case by setting the case bit; any other
// byte (bytes as signed values, as the folding rule is stated) only itself.
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char MaskFor(char p, char foldBit) { return IsLetter(p) ? foldBit : 0; }
char ValueFor(char p, char foldBit) { return (char)(p | MaskFor(p, foldBit)); }

// Stored Hebrew final letters and the ordinary forms after them.
char OrdinaryForm(char c) { return c == 'k' || c == 'n' || c == 'p' || c == 't' || c == 'v' ? (char)(c + 1) : c; }
bool HasFinalForm(char c) { return OrdinaryForm(c) != c || OrdinaryForm((char)(c - 1)) == c; }
// Blocks are matched on a mask that admits both forms: one bit tells them apart
// except for k (0x6B) and l (0x6C), which the mask 7 admits with their neighbours;
// every byte is then checked in full.
char FinalMask(char p) { return !HasFinalForm(p) ? 0 : OrdinaryForm(p) == 'l' || p == 'l' ? 7 : 1; }

bool SameFolded(const char* at, const TextPattern& pattern) {
    for (size_t i = 0; i < pattern.n; i++)
        if (OrdinaryForm(at[i]) != OrdinaryForm(pattern.bytes[i])) return false;
    return true;
}

// The bytes after the first.
bool SameRest(const char* at, const TextPattern& pattern) {
    if (pattern.finalFold) return SameFolded(at, pattern);
    for (size_t i = 1; i < pattern.n; i++) {
        char p = pattern.bytes[i];
        if ((char)(at[i] | MaskFor(p, pattern.foldBit)) != ValueFor(p, pattern.foldBit)) return false;
    }
    return true;
}

Block Load(const char* at) {
    Block bytes;
    std::memcpy(&bytes, at, kBlock);
    return bytes;
}

// The places among the sixteen from `at` where the pattern's first and last bytes
// match; the block a `last` on can be read too.
unsigned Candidates(const char* at, const TextPattern& match) {
    Block both = (Load(at) | match.mask[0]) == match.value[0];
    both &= (Load(at + match.last) | match.mask[1]) == match.value[1];
    return LanesSet(both);
}

// The candidates among the sixteen places from `at`, a place in the text. Near its
// end they are read through WindowAt; a pattern holds no NUL, so padding matches
// nothing.
unsigned CandidatesAt(const char* at, const TextScan& scan) {
    const TextPattern& match = *scan.pattern;
    size_t reach = kBlock + match.last;
    if ((size_t)(scan.end + match.n - 1 - at) >= reach) return Candidates(at, match);  // most blocks
    size_t length = (size_t)(scan.end - scan.text) + match.n - 1;
    char padded[2 * kBlock];
    size_t shift = 0;
    const char* window = WindowAt(scan.text, length, (size_t)(at - scan.text), reach, padded, &shift);
    return Candidates(window, match) >> shift;
}

}  // namespace

const char* WindowAt(const char* text, size_t length, size_t from, size_t size, char* padded, size_t* shift) {
    *shift = 0;
    if (from + size <= length) return text + from;
    if (size <= length) {
        *shift = from - (length - size);
        return text + (length - size);
    }
    std::memset(padded, 0, size);
    std::memcpy(padded, text + from, length - from);
    return padded;
}

TextPattern MakeTextPattern(const char* pattern, bool matchCase) {
    TextPattern made = {pattern, std::strlen(pattern), (char)(matchCase ? 0 : 0x20), false, 0, {}, {}};
    made.last = made.n ? std::min(made.n - 1, kBlock) : 0;
    for (size_t i = 0; i < 2; i++) {
        char p = pattern[i * made.last];
        made.mask[i] = Block{} + MaskFor(p, made.foldBit);
        made.value[i] = Block{} + ValueFor(p, made.foldBit);
    }
    return made;
}

TextPattern MakeHebrewPattern(const char* pattern, bool fold) {
    TextPattern made = MakeTextPattern(pattern, true);
    made.finalFold = fold;
    for (size_t i = 0; fold && i < 2; i++) {
        char p = pattern[i * made.last], mask = FinalMask(p);
        made.mask[i] = Block{} + mask;
        made.value[i] = Block{} + (char)(p | mask);
    }
    return made;
}

TextScan StartTextScan(const TextPattern& pattern, const char* text, size_t length) {
    TextScan scan = {&pattern, text, text, 0, text, text};
    if (pattern.n > 0 && pattern.n <= length) scan.end = text + (length - pattern.n) + 1;
    return scan;
}

// The scan's place is kept in locals while it runs, and stored when it stops.
const char* NextTextHit(TextScan* scan) {
    const char *block = scan->block, *next = scan->next, *end = scan->end;
    unsigned lanes = scan->lanes;
    const char* hit = nullptr;
    while (!hit) {
        if (!lanes) {
            if (next >= end) break;
            block = next;
            lanes = CandidatesAt(block, *scan);
            next += kBlock;
            continue;
        }
        const char* q = block + __builtin_ctz(lanes);
        lanes &= lanes - 1;
        if (q >= end) lanes = 0;
        else if (SameRest(q, *scan->pattern)) hit = q;
    }
    scan->block = block, scan->next = next, scan->lanes = lanes;
    return hit;
}

const char* FindNoCase(const char* text, const char* pattern) {
    if (!*text) return nullptr;
    if (!*pattern) return text;
    TextPattern made = MakeTextPattern(pattern, false);
    TextScan scan = StartTextScan(made, text, std::strlen(text));
    return NextTextHit(&scan);
}
