// The pointer over a link: the pointing-hand cursor and the link's tooltip; points
// of a client area on the screen.
#include <QCursor>
#include <QToolTip>

#include "../Desktop.h"
#include "../NoThrow.h"
#include "QtWindow.h"

void SetPointingHand(HWND window, bool on) {
    CallOrSkip([&] {
        Window* w = WindowOf(window);
        if (!w || !w->client) return;
        if (on)
            w->client->setCursor(Qt::PointingHandCursor);
        else
            w->client->unsetCursor();
    });
}

void ShowAreaTip(HWND window, const RECT* area, const WCHAR* text) {
    CallOrSkip([&] {
        Window* w = WindowOf(window);
        if (!w || !w->client || !text || !area) {
            QToolTip::hideText();
            return;
        }
        QRect rect(area->left, area->bottom, area->right - area->left, 1);
        QRect inside(area->left, area->top, area->right - area->left, area->bottom - area->top);
        QToolTip::showText(w->client->mapToGlobal(rect.topLeft()), QString::fromUtf16((const char16_t*)text),
                           w->client, inside);
    });
}

namespace {

BOOL MapPoint(HWND window, POINT* point, bool toScreen) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Window* w = WindowOf(window);
        if (!w || !w->client || !point) return FALSE;
        QPoint p(point->x, point->y);
        p = toScreen ? w->client->mapToGlobal(p) : w->client->mapFromGlobal(p);
        *point = {p.x(), p.y()};
        return TRUE;
    });
}

}  // namespace

BOOL ClientToScreen(HWND window, POINT* point) { return MapPoint(window, point, true); }
BOOL ScreenToClient(HWND window, POINT* point) { return MapPoint(window, point, false); }
