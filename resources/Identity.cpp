#include "Identity.h"

#include "../platform/ProgramIdentity.h"
#include "ResourceTables.h"
#include "generated/ProgramFacts.h"

namespace {
const ResourceTable* const kTables[] = {&kContentResourceTable, &kBitmapResourceTable, &kDialogResourceTable,
                                        &kMenuResourceTable,    &kIconResourceTable,   &kAcceleratorResourceTable};
}  // namespace

void RegisterProgramIdentity() {
    RegisterProgram({kMainWindowClass, kMainWindowTitle, kMsgCloseFromOutside, VELUN_APP_ID, "velun", kTables,
                     (int)(sizeof kTables / sizeof kTables[0])});
}
