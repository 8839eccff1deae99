// The window calls the shell code links against, for harnesses that have no
// window, and a clipboard held in memory for the export harness.
#include <cstring>
#include <map>

#include "fuzz/FuzzPlatform.h"
#include "platform/Desktop.h"
#include "platform/Panel.h"

namespace {

struct MemoryClipboard {
    bool open = false;
    std::map<UINT, HLOCAL> blocks;
};
MemoryClipboard gClipboard;

}  // namespace

LRESULT SendMessageW(HWND, UINT, WPARAM, LPARAM) { return 0; }
UINT_PTR SetTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }
BOOL KillTimer(HWND, UINT_PTR) { return FALSE; }
void PostQuitMessage(int) {}
HMENU CommandBar_GetMenu(HWND, WORD) { return nullptr; }
DWORD CheckMenuItem(HMENU, UINT, UINT) { return (DWORD)-1; }
BOOL GetMenuItemInfoW(HMENU, UINT, BOOL, MENUITEMINFOW*) { return FALSE; }
DWORD GetSysColor(int) { return 0; }
HBRUSH GetSysColorBrush(int) { return nullptr; }
BOOL SystemParametersInfoW(UINT, UINT, void*, UINT) { return FALSE; }
HMONITOR MonitorFromRect(const RECT*, DWORD) { return nullptr; }
BOOL GetWindowPlacement(HWND, WINDOWPLACEMENT*) { return FALSE; }
BOOL SetWindowPlacement(HWND, const WINDOWPLACEMENT*) { return FALSE; }
BOOL GetMonitorInfoW(HMONITOR, MONITORINFO*) { return FALSE; }
int GetSystemMetrics(int) { return 0; }
void SetMinimumWindowSize(HWND, int, int) {}

// The side panel's controls: no panel without a window.
const WCHAR kTabStripClass[] = u"VelunTabs";
const WCHAR kRowListClass[] = u"VelunRows";
void RegisterPanelControls() {}
void SelectTab(HWND, int) {}
int SelectedTab(HWND) { return -1; }
void SetListRows(HWND, int, RowTextSource, void*) {}
void SelectListRow(HWND, int) {}
int CurrentListRow(HWND) { return -1; }
void ShowSizingCursor(HWND) {}
void SetAccessibleName(HWND, const WCHAR*) {}
void SetAccessibleDescription(HWND, const WCHAR*) {}
bool DesktopIsRightToLeft() { return false; }
// No desktop to follow: the reader's day colours.
bool DesktopPrefersDark() { return false; }
void SetControlColours(COLORREF, COLORREF) {}

BOOL OpenClipboard(HWND) {
    if (gClipboard.open) return FALSE;
    gClipboard.open = true;
    return TRUE;
}

BOOL CloseClipboard() {
    if (!gClipboard.open) return FALSE;
    gClipboard.open = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!gClipboard.open) return FALSE;
    ClearFuzzClipboard();
    return TRUE;
}

HANDLE GetClipboardData(UINT format) {
    auto it = gClipboard.blocks.find(format);
    return gClipboard.open && it != gClipboard.blocks.end() ? it->second : nullptr;
}

HANDLE SetClipboardData(UINT format, HANDLE mem) {
    if (!gClipboard.open || !mem) return nullptr;
    HLOCAL& slot = gClipboard.blocks[format];
    if (slot && slot != mem) LocalFree(slot);
    slot = mem;
    return mem;
}

UINT RegisterClipboardFormatW(LPCWSTR name) { return name && *name ? kFuzzRtfFormat : 0; }

void PutOnFuzzClipboard(UINT format, const void* data, size_t size) {
    HLOCAL block = LocalAlloc(LMEM_ZEROINIT, size);
    if (size) memcpy(block, data, size);
    gClipboard.open = true;
    SetClipboardData(format, block);
    gClipboard.open = false;
}

HLOCAL FuzzClipboardBlock(UINT format) {
    auto it = gClipboard.blocks.find(format);
    return it == gClipboard.blocks.end() ? nullptr : it->second;
}

void ClearFuzzClipboard() {
    for (const auto& entry : gClipboard.blocks) LocalFree(entry.second);
    gClipboard.blocks.clear();
}
