// The fuzzer serves its input through the override table; no linked resources.
#include "platform/ResourceStore.h"

const ResourceTable kContentResourceTable = {nullptr, 0};
const ResourceTable kBitmapResourceTable = {nullptr, 0};
const ResourceTable kDialogResourceTable = {nullptr, 0};
const ResourceTable kMenuResourceTable = {nullptr, 0};
const ResourceTable kAcceleratorResourceTable = {nullptr, 0};
const ResourceTable kIconResourceTable = {nullptr, 0};
