// The read-only store behind FindResourceW / SizeofResource / LoadResource.
// The program links the content resources generated from the collection at build
// time and the user-interface resources of resources/ (bitmaps, dialogs, menus).
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

extern const ResourceTable kContentResourceTable;  // generated from collection/
extern const ResourceTable kBitmapResourceTable;   // resources/Bitmaps.cpp
extern const ResourceTable kDialogResourceTable;   // resources/Dialogs.cpp
extern const ResourceTable kMenuResourceTable;     // resources/Menus.cpp
extern const ResourceTable kIconResourceTable;     // generated from resources/icon/
extern const ResourceTable kAcceleratorResourceTable;  // resources/Accelerators.cpp

// Tests put a table of their own in front of the linked ones (nullptr removes it).
void SetOverrideResourceTable(const ResourceTable* table);
