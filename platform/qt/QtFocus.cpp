// The foreground window, the focus, a window's parent and its text.
#include <QApplication>

#include "../NoThrow.h"
#include "QtWindow.h"

HWND GetForegroundWindow() {
    return CallOrFail<HWND>(nullptr, [&]() -> HWND {
        if (QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
            if (Window* w = WindowOfWidget(app->activeWindow())) return w->handle;
        return RemoteForegroundWindow();
    });
}

BOOL SetForegroundWindow(HWND window) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w) return FALSE;
        if (w->remote) return BringRemoteToFront(w);
        while (w->parent) w = w->parent;
        if (!w->frame) return FALSE;
        w->frame->raise();
        w->frame->activateWindow();
        return TRUE;
    });
}

HWND GetParent(HWND window) {
    Window* w = WindowOf(window);
    if (!w) return nullptr;
    return HandleOf(w->parent ? w->parent : w->owner);
}

HWND GetFocus() {
    Window* w = WindowOfWidget(QApplication::focusWidget());
    return HandleOf(w);
}

HWND SetFocus(HWND window) {
    HWND previous = GetFocus();
    Window* w = WindowOf(window);
    if (w && !w->remote && w->frame) w->frame->setFocus(Qt::OtherFocusReason);
    return previous;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) { return (BOOL)SendMessageW(window, WM_SETTEXT, 0, (LPARAM)text); }

int GetWindowTextW(HWND window, LPWSTR text, int maxCount) {
    if (text && maxCount > 0) text[0] = 0;
    return (int)SendMessageW(window, WM_GETTEXT, (WPARAM)maxCount, (LPARAM)text);
}
