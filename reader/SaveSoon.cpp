// The settings are saved half a second after the first change that follows a save:
// changes that come in a burst (a wheel turning, a window dragged) share one write,
// and one that never stops still reaches the file within about a second. A save that
// fails is said once, in a message box over the window; the reader goes on, the file
// on disk stays the last good one, and the next change tries again.
#include "SaveSoon.h"

#include <cstdlib>
#include <string>

#include "../platform/RegistryStore.h"
#include "../platform/Utf16.h"
#include "../shell/AppState.h"
#include "../shell/Settings.h"

namespace {

bool gPending = false;     // the timer runs
bool gFailureSaid = false;  // since the last save that worked

// The file as the user knows it: the home folder as ~.
std::string ShownPath(const std::string& path) {
    const char* home = std::getenv("HOME");
    size_t n = home ? std::strlen(home) : 0;
    std::string shown = path;
    if (n > 1 && path.compare(0, n, home) == 0 && path[n] == '/') shown.replace(0, n, "~");
    return shown;
}

void SayFailure(HWND window) {
    std::string why = RegistrySaveError();
    if (why.empty()) {
        gFailureSaid = false;
        return;
    }
    if (gFailureSaid) return;
    gFailureSaid = true;
    std::u16string text = Utf8ToUtf16("Settings could not be saved to " + ShownPath(RegistryFilePath()) + ": " + why);
    MessageBoxW(window, text.c_str(), TEXT("Velun"), MB_OK | MB_ICONEXCLAMATION);
}

void Arm(HWND window) {
    if (gPending || !window) return;
    gPending = SetTimer(window, kSaveTimerId, kSaveDelayMs, nullptr) != 0;
}

void SaveNow(HWND window) {
    KillTimer(window, kSaveTimerId);
    gPending = false;
    SaveSettings();
    SayFailure(window);
}

// Input, commands, the scroll bar, moves and sizes, and activation coming back from
// a dialog (whose outcome is applied as it closes).
bool MayChangeWhatIsKept(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEWHEEL:
        case WM_COMMAND:
        case WM_VSCROLL:
        case WM_XBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_SIZE:
        case WM_MOVE:
        case WM_ACTIVATE: return true;
        default: return false;
    }
}

}  // namespace

void SaveSoon() { Arm(gApp.mainWindow); }

bool SaveSoonMessage(HWND window, UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kSaveTimerId) {
        SaveNow(window);
        return true;
    }
    // The exit sequence saves; the window's timers end with it.
    if (message == WM_DESTROY) gPending = false;
    if (MayChangeWhatIsKept(message)) Arm(window);
    return false;
}
