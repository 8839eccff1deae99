// Dialogs resources (to be filled).
#include "../platform/ResourceStore.h"

const ResourceTable kDialogResourceTable = {nullptr, 0};
