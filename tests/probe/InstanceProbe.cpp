// A stand-in for the reader in the one-instance tests: it hands over to a
// running instance the way the reader does, or becomes the running instance and
// reports on stdout what reaches its main window. Commands on stdin put another
// window or a dialog in front.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

#include "platform/win32.h"
#include "resources/Identity.h"

namespace {

const UINT kOpenDialog = WM_USER + 1;

void Say(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) Say("dialog-open");
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) EndDialog(dialog, 1);
    return message == WM_INITDIALOG;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == 119) Say("index");
            return 0;
        case WM_ACTIVATE: Say(LOWORD(wParam) == WA_INACTIVE ? "inactive" : "active"); return 0;
        case kOpenDialog:
            DialogBoxIndirectParamW(nullptr,
                                    (LPCDLGTEMPLATEW)LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(118),
                                                                                         RT_DIALOG)),
                                    window, DialogProc, 0);
            return 0;
        case kMsgCloseFromOutside:
            Say("end-request");
            DestroyWindow(window);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK OtherProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

int HandOver(HWND running) {
    HWND front = GetForegroundWindow(), top = front;
    while (top && GetParent(top)) top = GetParent(top);
    if (running == front) {
        SendMessageW(running, WM_COMMAND, 119, 0);
        Say("sent-index");
    } else if (running != top) {
        SetForegroundWindow(running);
        Say("front");
    } else {
        Say("nothing");
    }
    return 0;
}

void ReadCommands(HWND main) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [main, notifier] {
        char line[64];
        ssize_t n = read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0) {
            notifier->setEnabled(false);
            return;
        }
        line[n] = 0;
        if (!strncmp(line, "dialog", 6)) PostMessageW(main, kOpenDialog, 0, 0);
        if (!strncmp(line, "other", 5)) {
            CreateWindowExW(0, TEXT("Other"), TEXT("Other"), WS_VISIBLE, 300, 0, 100, 100, nullptr, nullptr, nullptr,
                            nullptr);
            Say("other-open");
        }
    });
}

}  // namespace

int main() {
    RegisterProgramIdentity();
    if (HWND running = FindWindowW(kMainWindowClass, kMainWindowTitle)) return HandOver(running);
    WNDCLASSW wc{3, MainProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, kMainWindowClass};
    RegisterClassW(&wc);
    WNDCLASSW other{0, OtherProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, TEXT("Other")};
    RegisterClassW(&other);
    HWND main = CreateWindowExW(WS_EX_WINDOWEDGE, kMainWindowClass, kMainWindowTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (!main) return 1;
    Say("primary");
    ReadCommands(main);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    Say("ended");
    return (int)msg.wParam;
}
