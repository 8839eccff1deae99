// Where a top-level window stands on the screen, and whether it is maximised.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtWindow.h"

bool DesktopPlacesWindows() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

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
        QSize size(std::max<int>(r.right - r.left, 1), std::max<int>(r.bottom - r.top, 1));
        if (DesktopPlacesWindows())
            f->resize(size);
        else
            f->setGeometry(QRect(QPoint(r.left, r.top), size));
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

// Centred on the owner, or on the screen for a dialog without one. Where the
// desktop places windows, it puts a dialog, a transient of its owner, itself.
void CentreDialog(Window* w) {
    if (DesktopPlacesWindows()) return;
    QRect area = w->owner && w->owner->frame ? w->owner->frame->frameGeometry()
                                             : QGuiApplication::primaryScreen()->availableGeometry();
    QRect mine = w->frame->frameGeometry();
    mine.moveCenter(area.center());
    w->frame->move(std::max(mine.left(), 0), std::max(mine.top(), 0));
}

// The same size as the window it covers and, where the program places windows, the same place.
void CoverWindow(Window* w, const Window* covered) {
    if (DesktopPlacesWindows())
        w->frame->resize(covered->frame->size());
    else
        w->frame->setGeometry(covered->frame->geometry());
    LayoutFrame(w);
}
