// Menus resources (to be filled).
#include "../platform/ResourceStore.h"

const ResourceTable kMenuResourceTable = {nullptr, 0};
