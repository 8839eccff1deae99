// Stand-ins for features still being written, so the program links. Each real
// definition replaces its weak one here; this file goes once all of them exist.
#include "About.h"
#include "FontDialog.h"

namespace {

// Closes on OK or Cancel so that an opened stand-in dialog never traps the user.
INT_PTR PendingDialogProc(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

__attribute__((weak)) INT_PTR CALLBACK FontDialogProc(HWND d, UINT m, WPARAM w, LPARAM) {
    return PendingDialogProc(d, m, w);
}
__attribute__((weak)) INT_PTR CALLBACK AboutDialogProc(HWND d, UINT m, WPARAM w, LPARAM) {
    return PendingDialogProc(d, m, w);
}
__attribute__((weak)) void CheckForUpdates(HWND) {}
