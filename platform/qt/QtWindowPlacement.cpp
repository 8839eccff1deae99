// Where a top-level window stands on the screen, and whether it is maximised.
#include <QWidget>
#include <algorithm>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtWindow.h"

// The rectangles are the window's own area without the window manager's frame, so
// that putting back what was read leaves the window where it was.
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote || w->parent || !w->frame || !placement) return FALSE;
        QWidget* f = w->frame;
        bool maximised = f->isMaximized();
        QRect r = (maximised || f->isFullScreen()) && !f->normalGeometry().isEmpty() ? f->normalGeometry() : f->geometry();
        placement->flags = 0;
        placement->showCmd = maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        placement->rcNormalPosition = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        return TRUE;
    });
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || w->remote || w->parent || !w->frame || !placement || w->fullScreen) return FALSE;
        const RECT& r = placement->rcNormalPosition;
        QWidget* f = w->frame;
        f->setGeometry(r.left, r.top, std::max<int>(r.right - r.left, 1), std::max<int>(r.bottom - r.top, 1));
        Qt::WindowStates state = f->windowState() & ~Qt::WindowMaximized;
        if (placement->showCmd == SW_SHOWMAXIMIZED) state |= Qt::WindowMaximized;
        f->setWindowState(state);  // a hidden window takes it when shown
        LayoutFrame(w);
        return TRUE;
    });
}

void SetMinimumWindowSize(HWND window, int width, int height) {
    CallOrFail<bool>(false, [&] {
        Window* w = WindowOf(window);
        if (w && !w->remote && !w->parent && w->frame) w->frame->setMinimumSize(std::max(width, 0), std::max(height, 0));
        return true;
    });
}
