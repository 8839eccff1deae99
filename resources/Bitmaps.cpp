// Bitmaps resources (to be filled).
#include "../platform/ResourceStore.h"

const ResourceTable kBitmapResourceTable = {nullptr, 0};
