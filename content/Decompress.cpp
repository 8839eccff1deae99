// The content container's inner header and the byte-code decoder.
#include <cstdlib>
#include <cstring>

#include "Content.h"

namespace {

void SetStatus(int* status, int code) {
    if (status) *status = code;
}

uint16_t ReadBigEndian16(const BYTE* p) { return (uint16_t)(p[0] << 8 | p[1]); }

// Decodes the stream into out..outEnd in one pass. Returns false when the stream
// ends before the output is full, or when a code would read outside the stream or
// the output produced so far: no stored resource does either.
bool DecodeStream(const BYTE* in, const BYTE* inEnd, BYTE* start, BYTE* outEnd) {
    BYTE* out = start;
    while (out < outEnd && in < inEnd) {
        BYTE n = *in++;
        if (n >= 0x01 && n <= 0x08) {
            if (n > inEnd - in) return false;
            size_t count = n < outEnd - out ? n : (size_t)(outEnd - out);
            std::memcpy(out, in, count);
            out += count;
            in += n;
        } else if (n < 0x80) {
            *out++ = n;
        } else if (n < 0xC0) {
            if (in == inEnd) return false;
            BYTE m = *in++;
            ptrdiff_t distance = (n & 0x3F) << 5 | m >> 3;
            int count = (m & 7) + 3;
            if (distance == 0 || distance > out - start) return false;
            // Forward, one byte at a time: a distance shorter than the length repeats.
            for (; count > 0 && out < outEnd; count--, out++) *out = out[-distance];
        } else {
            *out++ = 0x20;
            if (out == outEnd) break;
            *out++ = n ^ 0x80;
        }
    }
    return out == outEnd;
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
    BYTE* buffer = (BYTE*)std::malloc(size + kContentZeroTail);
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
