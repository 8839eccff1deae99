#include "FullScreen.h"

#include "../resources/Commands.h"
#include "../shell/AppState.h"
#include "../shell/Bookmarks.h"
#include "../shell/MainWindow.h"
#include "../shell/Settings.h"

namespace {

// The value lives beside the other start-up options, in the vendor's key.
void KeepFullScreen() {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kVendorKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    DWORD value = gFullScreen ? 1 : 0;
    RegSetValueExW(key, TEXT("FullScreen"), 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
}

}  // namespace

HMENU ViewMenu() {
    if (gApp.useMenuBar) return (HMENU)SendMessageW(gApp.barWindow, SHCMBM_GETSUBMENU, 0, kCmdViewMenu);
    return CommandBar_GetMenu(gApp.barWindow, 0);
}

void UpdateFullScreenCheck() { SetMenuCheck(ViewMenu(), kCheckSet, kCmdFullScreen, gFullScreen); }

void ToggleFullScreen(HWND window) {
    gFullScreen = !gFullScreen;
    SHFullScreen(window, gFullScreen ? kFullScreenState : SHFS_SHOWTASKBAR);
    UpdateFullScreenCheck();
    KeepFullScreen();
}
