// Content resources: article number to decompressed buffer.
#pragma once

#include "../platform/win32.h"

// The index is loaded through LoadContent with this number (identifier 32767).
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

struct CompressedBlock {
    const BYTE* source;
    uint32_t compressedLength;
    uint32_t uncompressedLength;
};

// Returns a malloc'd buffer of U + 2 bytes (content, then a NUL at U) or null.
BYTE* LoadContent(int number, int* status);
BYTE* UnpackContent(const BYTE* payload, int payloadLength, int reserved, int* status);
BYTE* UnCompress(const CompressedBlock* block, int* status);
