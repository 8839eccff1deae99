#include "WinMain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "../platform/EndSignals.h"
#include "../platform/Utf16.h"
#include "../reader/SidePanel.h"
#include "AppState.h"
#include "FontDialog.h"
#include "MainWindow.h"
#include "Settings.h"

namespace {

constexpr int kAcceleratorTable = 3;
constexpr int kWindowIcon = 101;
constexpr int kMaxGutter = 0x7FFF;

// A margin is never negative; a huge one would overflow the view arithmetic.
int32_t SaneGutter(int32_t gutter) { return gutter < 0 ? 0 : gutter > kMaxGutter ? kMaxGutter : gutter; }

// A second start hands over to the running instance: it opens its index when its main
// window is in front, comes to the front when another program is, and does nothing
// visible when one of its dialogs is.
bool HandOverToRunningInstance() {
    HWND running = FindWindowW(kMainWindowClass, kMainWindowTitle);
    if (!running) return false;
    HWND front = GetForegroundWindow();
    HWND top = front;
    while (top && GetParent(top)) top = GetParent(top);
    if (running == front) SendMessageW(running, WM_COMMAND, kCmdIndex, 0);
    if (running != top) SetForegroundWindow(running);
    return true;
}

// Returns the quit message's exit code.
int RunMessageLoop(HINSTANCE instance) {
    // Table 3 binds the shortcuts the menus show beside their items to the items' commands.
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(kAcceleratorTable));
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(ShortcutWindow(msg.hwnd), accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return (int)msg.wParam;
}

}  // namespace

void RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className) {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kWindowIcon));
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
}

HWND StartMainWindow(int showCommand) {
    if (HandOverToRunningInstance()) return nullptr;
    InitCommonControls();
    if (gTaskBarWindow) ShowWindow(gTaskBarWindow, SW_HIDE);
    // A signal to end that comes before the main window ends the program here, after
    // saving what a normal exit saves once the settings are loaded.
    if (EndSignalReceived()) return nullptr;
    LoadSettings();
    ChooseFirstRunBase();
    if (EndSignalReceived()) {
        ExitProgram();
        return nullptr;
    }
    SetCurrentArticle(0);
    RegisterMainWindowClass(gApp.instance, kMainWindowClass);

    DWORD style = WS_VISIBLE | ((gApp.Flags & kFlagScrollBar) ? WS_VSCROLL : 0);
    HWND window = CreateWindowExW(WS_EX_WINDOWEDGE, kMainWindowClass, kMainWindowTitle, style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, gApp.instance,
                                  nullptr);
    if (!window) {
        // The window could not be made (its creation, once it got that far, ran the
        // exit sequence already): nothing was changed, so nothing is written.
        ReleaseLoadedSettings();
        return nullptr;
    }
    if (gFullScreen) {
        // Width and height are the old right and bottom: the window moves to the top
        // edge and keeps its bottom edge.
        RECT r;
        GetWindowRect(window, &r);
        SHFullScreen(window, kFullScreenState);
        MoveWindow(window, r.left, 0, r.right, r.bottom, FALSE);
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    ResetAppState();
    gApp.instance = instance;
    gIgnoreActivate = RegReadNumber(kVendorKey, TEXT("IgnoreActivate"), 0) != 0;
    gFullScreen = RegReadNumber(kVendorKey, TEXT("FullScreen"), 0) != 0;
    gAllowSipInSearch = RegReadNumber(kVendorKey, TEXT("AllowSipInHebrewSearch"), 1) != 0;
    if (gFullScreen) gTaskBarWindow = FindWindowW(TEXT("HHTaskBar"), TEXT(""));
    BOOL taskBarWasVisible = gTaskBarWindow ? IsWindowVisible(gTaskBarWindow) : FALSE;
    gApp.useMenuBar = RegReadNumber(kVendorKey, TEXT("MenuBarOnBottom"), 0) != 0;
    // Without a stored margin the article keeps one that fits the window (MainWindow.cpp).
    int32_t gutter = RegReadNumber(kVendorKey, TEXT("SurroundingGutter"), kGutterAbsent);
    gFittedGutter = gutter == kGutterAbsent;
    gApp.SurroundingGutter = gFittedGutter ? 0 : SaneGutter(gutter);
    // The command line changes nothing: the shell's Today screen starts the reader
    // with "/today" (in any letter case), and it opens as it always does.

    int exitCode = 0;
    if (StartMainWindow(showCommand)) exitCode = RunMessageLoop(instance);
    // Also when the window could not be made: the task bar may already be hidden then.
    if (gTaskBarWindow && taskBarWasVisible) ShowWindow(gTaskBarWindow, SW_SHOW);
    return exitCode;
}

int RunReader(int argc, char** argv) {
    std::u16string commandLine;
    // No memory for the command line: nothing has started yet, so the reader ends here.
    try {
        std::string line;
        for (int i = 1; i < argc; i++) {
            if (i > 1) line += ' ';
            line += argv[i];
        }
        commandLine = Utf8ToUtf16(line);
    } catch (const std::bad_alloc&) {
        std::fputs("velun: not enough memory\n", stderr);
        return 1;
    }
    const char* exitAfterPaint = std::getenv("VELUN_EXIT_AFTER_FIRST_PAINT");
    gExitAfterFirstPaint = exitAfterPaint && std::strcmp(exitAfterPaint, "1") == 0;
    return WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOW);
}
