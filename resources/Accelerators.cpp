// resources/ holds the program's resources (dialogs, menus, accelerators, bitmaps,
// icons), the one table of commands and the program's identity. It calls platform/.
// Accelerator table 3: the keys the menus name beside their items, each bound to
// the item's command. A new shortcut is one more row, and its menu item shows it.
#include "Accelerators.h"

#include <vector>

#include "ResourceTables.h"
#include "Commands.h"
#include "ResourceBytes.h"

namespace {

constexpr WORD kAcceleratorTableId = 3;

struct AcceleratorRow {
    BYTE modifiers;  // FVIRTKEY with FSHIFT, FCONTROL, FALT
    WORD key;        // virtual key
    WORD command;
};

const AcceleratorRow kAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'D', kCmdIndex},    // Choose Article, Index
    {FVIRTKEY | FCONTROL | FSHIFT, 'F', kCmdFont},  // Font
    {FVIRTKEY | FCONTROL, 'F', kCmdSearchTab},        // Find (the side panel's Search tab)
    {FVIRTKEY | FCONTROL | FSHIFT, 'C', kCmdContentsTab},  // Contents
    {FVIRTKEY, VK_F9, kCmdSidePanel},                 // Side Panel
    {FVIRTKEY | FSHIFT, VK_F3, kCmdPreviousHit},      // previous hit of the list
    {FVIRTKEY | FCONTROL, 'C', kCmdCopy},  // Copy
    {FVIRTKEY | FCONTROL, 'E', kCmdAppend},  // Append to ClipBoard
    {FVIRTKEY | FCONTROL, 'H', kCmdHighlight},            // Highlight
    {FVIRTKEY | FCONTROL | FSHIFT, 'H', kCmdAddNote},     // Add Note
    {FVIRTKEY | FCONTROL, 'Z', kCmdUndoRemoveNote},       // Undo Remove Note
    {FVIRTKEY | FCONTROL, 'Q', kCmdExit},  // Exit
    {FVIRTKEY | FCONTROL, 'P', kCmdPrint},  // Print
    {FVIRTKEY | FALT, VK_F3, kCmdSearch},      // Search
    {FVIRTKEY, VK_F3, kCmdSearchAgain},             // Search Again
    {FVIRTKEY | FCONTROL | FSHIFT, 'N', kCmdNight},  // Night
    {FVIRTKEY | FCONTROL, 'G', kCmdGoTo},           // Go To Article
    {FVIRTKEY | FCONTROL, 'U', kCmdNextUnread},     // Next Unread
    {FVIRTKEY | FALT, VK_LEFT, kCmdBack},           // Back
    {FVIRTKEY | FALT, VK_RIGHT, kCmdForward},          // Forward
    {FVIRTKEY, VK_F11, kCmdFullScreen},             // Full Screen
    {FVIRTKEY, VK_F7, kCmdCaretMode},               // Caret Browsing
    {FVIRTKEY, VK_F1, kCmdReadingGuide},            // Reading Guide
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

std::u16string KeyName(WORD key) {
    if (key >= VK_F1 && key <= VK_F24) {
        std::string number = std::to_string(key - VK_F1 + 1);
        return u"F" + std::u16string(number.begin(), number.end());
    }
    switch (key) {
        case VK_LEFT: return u"Left";
        case VK_RIGHT: return u"Right";
        case VK_UP: return u"Up";
        case VK_DOWN: return u"Down";
        default: return std::u16string(1, (char16_t)key);  // a letter or digit key is its character
    }
}

const ResourceEntry gEntries[] = {
    {9, kAcceleratorTableId, gTable.data(), (uint32_t)gTable.size()},
};

}  // namespace

const ResourceTable kAcceleratorResourceTable = {gEntries, sizeof gEntries / sizeof gEntries[0]};

namespace {

std::u16string Label(const AcceleratorRow& row) {
    std::u16string label;
    if (row.modifiers & FCONTROL) label += u"Ctrl+";
    if (row.modifiers & FSHIFT) label += u"Shift+";
    if (row.modifiers & FALT) label += u"Alt+";
    return label + KeyName(row.key);
}

}  // namespace

std::u16string ShortcutLabel(WORD command) {
    for (const AcceleratorRow& row : kAccelerators)
        if (row.command == command) return Label(row);
    return {};
}

std::vector<std::u16string> ShortcutLabels() {
    std::vector<std::u16string> labels;
    for (const AcceleratorRow& row : kAccelerators) labels.push_back(Label(row));
    return labels;
}
