// Accelerator table 3: the keys the menus name beside their items, each bound to
// the item's command. A new shortcut is one more row.
#include <vector>

#include "../platform/ResourceStore.h"
#include "ResourceBytes.h"

namespace {

constexpr WORD kAcceleratorTableId = 3;

struct AcceleratorRow {
    BYTE modifiers;  // FVIRTKEY with FSHIFT, FCONTROL, FALT
    WORD key;        // virtual key
    WORD command;
};

const AcceleratorRow kAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'D', 119},    // Choose Article, Index
    {FVIRTKEY | FCONTROL, 'F', 40006},  // Font
    {FVIRTKEY | FCONTROL, 'C', 40007},  // Copy
    {FVIRTKEY | FCONTROL, 'E', 40009},  // Append to ClipBoard
    {FVIRTKEY | FCONTROL, 'Q', 40005},  // Exit
    {FVIRTKEY | FALT, VK_F3, 116},      // Search
    {FVIRTKEY, VK_F3, 117},             // Search Again
    {FVIRTKEY | FCONTROL | FSHIFT, 'N', 40013},  // Night
    {FVIRTKEY | FCONTROL, 'G', 40010},           // Go To Article
    {FVIRTKEY | FALT, VK_LEFT, 40011},           // Back
    {FVIRTKEY | FALT, VK_RIGHT, 40012},          // Forward
};

std::vector<BYTE> BuildTable() {
    std::vector<BYTE> out;
    size_t count = sizeof kAccelerators / sizeof kAccelerators[0];
    for (size_t i = 0; i < count; i++) {
        const AcceleratorRow& row = kAccelerators[i];
        PutWord(out, (WORD)(row.modifiers | (i + 1 == count ? kAcceleratorLastEntry : 0)));
        PutWord(out, row.key);
        PutWord(out, row.command);
        PutWord(out, 0);
    }
    return out;
}

const std::vector<BYTE> gTable = BuildTable();

const ResourceEntry gEntries[] = {
    {9, kAcceleratorTableId, gTable.data(), (uint32_t)gTable.size()},
};

}  // namespace

const ResourceTable kAcceleratorResourceTable = {gEntries, sizeof gEntries / sizeof gEntries[0]};
