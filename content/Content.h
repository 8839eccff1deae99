// Content resources: article number to decompressed buffer.
#pragma once

#include "../platform/win32.h"

// The index is loaded through LoadContent with this number: its resource
// identifier is kContentIdBase + 31767 = 32767.
constexpr int kIndexContentNumber = 31767;
constexpr int kArticleCount = 187;
constexpr int kContentIdBase = 1000;

// Loader status codes.
enum ContentStatus {
    kStatusNoResource = 1,
    kStatusLoadFailed = 2,
    kStatusBadHeader = 3,
    kStatusNoBlock = 4,
    kStatusBufferError = 5,
};

// Every content buffer ends in this many zero bytes from offset U on: the NUL behind
// the content and padding after it. A reader that walks records by pointer alone
// cannot see where the buffer ends; with the padding, even a malformed last record
// ends in zeros and the next style byte read is 0. The worst case is a record whose
// style byte is the last content byte: an article record then needs 3 zero bytes
// (indent, empty text, next style), an index record 5 (level, empty text, next key
// and style), so 5 covers both.
constexpr int kContentZeroTail = 5;

struct CompressedBlock {
    const BYTE* source;
    uint32_t compressedLength;
    uint32_t uncompressedLength;
};

// Returns a malloc'd buffer holding the U content bytes and then at least
// kContentZeroTail zeros, or null. The caller frees it with free.
BYTE* LoadContent(int number, int* status);
BYTE* UnpackContent(const BYTE* payload, int payloadLength, int reserved, int* status);
BYTE* UnCompress(const CompressedBlock* block, int* status);
