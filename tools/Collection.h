// A collection folder (articles/NNN-*.txt and index.txt) compiled into its 188 resources.
#pragma once

#include "PackTypes.h"

struct PackedResource {
    uint16_t id;      // 1001..1187, 32767 for the index
    Bytes content;    // decompressed bytes
    Bytes resource;   // the container with the compressed stream
};

// Reads and compiles every source of the folder. On any error the list holds them all and
// the result is empty.
std::vector<PackedResource> PackCollection(const std::string& dir, Diagnostics* diag);
// Compiles already parsed content into one resource; false when it is too large to store.
bool PackResource(uint16_t id, const Bytes& content, PackedResource* out);
