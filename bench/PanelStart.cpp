#include "PanelStart.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "platform/TestHooks.h"
#include "platform/qt/QtWindow.h"
#include "shell/AppState.h"
#include "shell/WinMain.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PaintWhatIsLeft(QWidget* widget) {
    QEvent update(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(widget->window(), &update);
}

HWND StartAtPanelTab(WORD tabCommand) {
    ScriptMessageBoxes({});
    gApp.instance = GetModuleHandleW(nullptr);
    HWND window = StartMainWindow(SW_SHOW);
    if (!window) return nullptr;
    MoveWindow(window, 0, 0, 1280, 800, TRUE);
    PumpMessages();
    SendMessageW(window, WM_COMMAND, tabCommand, 0);
    PumpMessages();
    PaintWhatIsLeft(WidgetOf(window));  // the window as first shown is no key's work
    return window;
}
