// The content container's inner header and the byte-code decoder.
#include <cstdlib>
#include <cstring>

#include "Content.h"

namespace {

void SetStatus(int* status, int code) {
    if (status) *status = code;
}

uint16_t ReadBigEndian16(const BYTE* p) { return (uint16_t)(p[0] << 8 | p[1]); }

// Copies are fixed-width, so they may run this far past the content; the zero
// tail lies inside it.
constexpr size_t kDecodeSlack = 16;
static_assert(kDecodeSlack >= kContentZeroTail);

// A back reference of 3 to 10 bytes. From 8 or more bytes back, two 8-byte steps
// each read only what is already written; nearer sources repeat, so they go a
// byte at a time.
inline void CopyBack(BYTE* out, size_t distance) {
    const BYTE* from = out - distance;
    if (distance >= 8) {
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
    } else {
        for (int i = 0; i < 10; i++) out[i] = from[i];
    }
}

// Decodes the code at `in`; false when it would read outside the stream or the
// output produced so far. Away from the stream's end (kNearEnd false) the caller
// has made sure that the longest code and its 8-byte copy are inside the stream.
template <bool kNearEnd>
inline bool DecodeCode(const BYTE*& in, const BYTE* inEnd, BYTE*& out, const BYTE* start) {
    BYTE n = *in++;
    bool back = (n & 0xC0) == 0x80;
    bool run = (BYTE)(n - 1) < 8;
    if (!back && !run) [[likely]] {
        // The byte itself, or a space and a letter: written alike, without a branch
        // that the mix of the two would make hard to predict.
        bool pair = n >= 0xC0;
        out[0] = pair ? 0x20 : n;
        out[1] = n ^ 0x80;
        out += 1 + pair;
    } else if (back) {
        if (kNearEnd && in == inEnd) return false;
        BYTE m = *in++;
        size_t distance = (size_t)(n & 0x3F) << 5 | m >> 3;
        if (distance - 1 >= (size_t)(out - start)) return false;  // 0, or before the start
        CopyBack(out, distance);
        out += (m & 7) + 3;
    } else {
        ptrdiff_t left = inEnd - in;
        if (kNearEnd && n > left) return false;
        std::memcpy(out, in, !kNearEnd || left >= 8 ? 8 : n);
        out += n;
        in += n;
    }
    return true;
}

// The longest code (a run of 8) and its 8-byte copy read at most this many bytes.
constexpr ptrdiff_t kLongestCodeRead = 9;

// Decodes the stream into start..outEnd in one pass. Returns false when the stream
// ends before the output is full, or when a code would read outside the stream or
// the output produced so far: no stored resource does either. Writes may pass
// outEnd by less than kDecodeSlack; what lies there is not content.
bool DecodeStream(const BYTE* in, const BYTE* inEnd, BYTE* start, BYTE* outEnd) {
    BYTE* out = start;
    while (out < outEnd && inEnd - in >= kLongestCodeRead) {
        if (!DecodeCode<false>(in, inEnd, out, start)) return false;
    }
    while (out < outEnd && in < inEnd) {
        if (!DecodeCode<true>(in, inEnd, out, start)) return false;
    }
    return out >= outEnd;
}

}  // namespace

BYTE* UnpackContent(const BYTE* payload, int payloadLength, int reserved, int* status) {
    if (reserved < 0 || payloadLength < 5) {
        SetStatus(status, kStatusBadHeader);
        return nullptr;
    }
    uint16_t compressed = ReadBigEndian16(payload);
    if (compressed == 0) {
        SetStatus(status, kStatusBadHeader);
        return nullptr;
    }
    // A K larger than the payload would send the decoder past the resource: the
    // stream is cut at the payload's end, so such a resource decodes short.
    uint32_t present = (uint32_t)payloadLength - 4;
    CompressedBlock block = {payload + 4, compressed < present ? compressed : present, ReadBigEndian16(payload + 2)};
    return UnCompress(&block, status);
}

BYTE* UnCompress(const CompressedBlock* block, int* status) {
    if (!block || !block->source || block->uncompressedLength == 0) {
        SetStatus(status, kStatusNoBlock);
        return nullptr;
    }
    size_t size = block->uncompressedLength;
    BYTE* buffer = (BYTE*)std::malloc(size + kDecodeSlack);
    if (!buffer) {
        SetStatus(status, kStatusLoadFailed);
        return nullptr;
    }
    const BYTE* in = block->source;
    if (!DecodeStream(in, in + block->compressedLength, buffer, buffer + size)) {
        std::free(buffer);
        MessageBoxW(NULL, TEXT("UnCompress() buffer error!"), NULL, 0);
        SetStatus(status, kStatusBufferError);
        return nullptr;
    }
    std::memset(buffer + size, 0, kContentZeroTail);
    return buffer;
}
