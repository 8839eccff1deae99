// Arbitrary bytes as the stored "Bookmarks" value: the loaded list stays inside
// its allocation and ends with 0 at its count, and what is saved loads back to
// the same list.
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzBuffers.h"
#include "platform/RegistryStore.h"
#include "platform/TestHooks.h"
#include "shell/AppState.h"
#include "shell/Bookmarks.h"
#include "shell/Settings.h"

namespace {

std::vector<uint16_t> LoadedList() {
    LoadBookmarks();
    if (!gApp.bookmarkList) {
        FuzzCheck(gApp.bookmarkCount == 0);
        return {};
    }
    FuzzCheck(gApp.bookmarkList[gApp.bookmarkCount] == 0);
    return std::vector<uint16_t>(gApp.bookmarkList, gApp.bookmarkList + gApp.bookmarkCount);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The registry file goes to a folder of the harness's own.
    static char folder[] = "/tmp/velun-bookmarks-fuzz-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    setenv("XDG_CONFIG_HOME", folder, 1);
    ForgetRegistry();
    ScriptMessageBoxes({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxRegistryValueSize) return 0;
    RegWriteBytes(TEXT("Bookmarks"), data, (DWORD)size);
    std::vector<uint16_t> first = LoadedList();
    SaveBookmarks();
    FreeBookmarks();
    std::vector<uint16_t> second = LoadedList();
    FuzzCheck(first == second);
    FreeBookmarks();
    return 0;
}
