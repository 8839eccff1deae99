// The read-only store behind FindResourceW / SizeofResource / LoadResource: the
// tables the program registers (ProgramIdentity.h), searched in order.
#pragma once

#include <cstdint>

struct ResourceEntry {
    uint16_t type;  // RT_* number
    uint16_t id;
    const unsigned char* data;
    uint32_t size;
};

struct ResourceTable {
    const ResourceEntry* entries;
    uint32_t count;
};

// Tests put a table of their own in front of the registered ones (nullptr removes it).
void SetOverrideResourceTable(const ResourceTable* table);
