// Accelerator tables: a WM_KEYDOWN (or WM_SYSKEYDOWN, Alt held) whose key and
// modifiers match an entry becomes that entry's WM_COMMAND for the window, with 1
// in the high word as the platform marks accelerators. Nothing is translated while
// a modal dialog or message box is up: its keys are its own.
#include <QApplication>

#include "../LittleEndian.h"
#include "../NoThrow.h"
#include "QtWindow.h"

namespace {

constexpr int kEntrySize = 8;
constexpr WORD kFromAccelerator = 1;

struct AcceleratorTable {
    const BYTE* entries;
    DWORD count;
};

BYTE ModifiersDown() {
    BYTE down = 0;
    if (GetKeyState(VK_SHIFT) < 0) down |= FSHIFT;
    if (GetKeyState(VK_CONTROL) < 0) down |= FCONTROL;
    if (GetKeyState(VK_MENU) < 0) down |= FALT;
    return down;
}

}  // namespace

// The handle is the resource entry itself, which knows its size; the table is read
// no further than its last-entry mark or its end.
HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
    HRSRC found = FindResourceW(instance, name, RT_ACCELERATOR);
    return SizeofResource(instance, found) >= kEntrySize ? (HACCEL)found : nullptr;
}

int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG msg) {
    return CallOrFail<int>(0, [&]() -> int {
        if (!table || !msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
        Window* w = WindowOf(window);
        if (!w || w->remote || QApplication::activeModalWidget()) return 0;
        auto* data = (const BYTE*)LoadResource(nullptr, (HRSRC)table);
        DWORD count = SizeofResource(nullptr, (HRSRC)table) / kEntrySize;
        BYTE down = ModifiersDown();
        for (DWORD i = 0; i < count; i++) {
            const BYTE* entry = data + i * kEntrySize;
            WORD flags = ReadWord(entry);
            BYTE wanted = (BYTE)(flags & (FSHIFT | FCONTROL | FALT));
            if ((flags & FVIRTKEY) && ReadWord(entry + 2) == msg->wParam && wanted == down) {
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(ReadWord(entry + 4), kFromAccelerator), 0);
                return 1;
            }
            if (flags & kAcceleratorLastEntry) break;
        }
        return 0;
    });
}
