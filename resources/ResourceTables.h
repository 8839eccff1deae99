// The program's resource tables, registered with the window layer at start
// (Identity.cpp) in the order FindResourceW searches them.
#pragma once

#include "../platform/ResourceStore.h"

extern const ResourceTable kContentResourceTable;      // generated from collection/
extern const ResourceTable kBitmapResourceTable;       // resources/Bitmaps.cpp
extern const ResourceTable kDialogResourceTable;       // resources/Dialogs.cpp
extern const ResourceTable kMenuResourceTable;         // resources/Menus.cpp
extern const ResourceTable kIconResourceTable;         // generated from resources/icon/
extern const ResourceTable kAcceleratorResourceTable;  // resources/Accelerators.cpp
