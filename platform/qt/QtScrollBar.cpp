// The vertical scroll bar of a top-level window: Qt's slider actions arrive as
// WM_VSCROLL codes, and SetScrollInfo/GetScrollInfo keep the program's range and position.
#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "../NoThrow.h"
#include "QtWindow.h"

int ScrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

namespace {


WORD ScrollCodeOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
        case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
        case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
        case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
        case QAbstractSlider::SliderToMinimum: return SB_TOP;
        case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
        default: return SB_ENDSCROLL;
    }
}

void SendScroll(HWND window, WORD code, int position) {
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(code, (WORD)(SHORT)position), 0);
}

// Ends line and page clicks with SB_ENDSCROLL when the button comes up; the wheel
// over the bar reaches the window as it does over the client area.
class ScrollReleaseFilter : public QObject {
  public:
    ScrollReleaseFilter(HWND window, QScrollBar* bar) : QObject(bar), window_(window), bar_(bar) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease && !bar_->isSliderDown()) SendScroll(window_, SB_ENDSCROLL, 0);
        if (e->type() != QEvent::Wheel) return false;
        PostWheel(window_, static_cast<QWheelEvent*>(e));
        return true;
    }

  private:
    HWND window_;
    QScrollBar* bar_;
};

}  // namespace

// The bar reports actions; the position stays what the program last set, as the
// program moves it with SetScrollInfo. Dragging the thumb moves it meanwhile.
QScrollBar* MakeScrollBar(Window* w) {
    auto* bar = new QScrollBar(Qt::Vertical, w->frame);
    bar->setFocusPolicy(Qt::NoFocus);
    HWND handle = w->handle;
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [handle, bar](int action) {
        Window* w = WindowOf(handle);
        if (!w) return;
        if (action == QAbstractSlider::SliderMove) {
            if (bar->isSliderDown()) SendScroll(handle, SB_THUMBTRACK, bar->sliderPosition());
            return;
        }
        {
            QSignalBlocker block(bar);
            bar->setSliderPosition(w->scroll.nPos);
        }
        SendScroll(handle, ScrollCodeOf(action), 0);
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [handle, bar] {
        SendScroll(handle, SB_THUMBPOSITION, bar->sliderPosition());
        SendScroll(handle, SB_ENDSCROLL, 0);
    });
    bar->installEventFilter(new ScrollReleaseFilter(handle, bar));
    return bar;
}

namespace {

void ApplyScrollInfo(Window* w) {
    const SCROLLINFO& s = w->scroll;
    int page = s.nPage ? (int)s.nPage : 1;
    int top = std::max(s.nMin, s.nMax - page + 1);
    QSignalBlocker block(w->scrollBar);
    w->scrollBar->setRange(s.nMin, top);
    w->scrollBar->setPageStep(page);
    w->scrollBar->setValue(s.nPos);
    w->scrollBar->setEnabled(s.nMax > s.nMin);
}

}  // namespace

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL) {
    return CallOrFail<int>(0, [&]() -> int {
        Window* w = WindowOf(window);
        if (!w || w->remote || w->parent || bar != SB_VERT || !info) return 0;
        SCROLLINFO& s = w->scroll;
        if (info->fMask & SIF_RANGE) s.nMin = info->nMin, s.nMax = info->nMax;
        if (info->fMask & SIF_PAGE) s.nPage = info->nPage;
        if (info->fMask & SIF_POS) s.nPos = info->nPos;
        int page = s.nPage ? (int)s.nPage : 1;
        s.nPos = std::clamp(s.nPos, s.nMin, std::max(s.nMin, s.nMax - page + 1));
        // A window without WS_VSCROLL gets the bar on demand, while there is something to scroll.
        bool wanted = (w->style & WS_VSCROLL) || s.nMax > s.nMin;
        if (!w->scrollBar && wanted) w->scrollBar = MakeScrollBar(w);
        if (w->scrollBar) {
            ApplyScrollInfo(w);
            if (w->scrollBar->isHidden() == wanted) {
                w->scrollBar->setVisible(wanted);
                LayoutFrame(w);
            }
        }
        return s.nPos;
    });
}

BOOL GetScrollInfo(HWND window, int bar, LPSCROLLINFO info) {
    Window* w = WindowOf(window);
    if (!w || w->remote || bar != SB_VERT || !info) return FALSE;
    const SCROLLINFO& s = w->scroll;
    if (info->fMask & SIF_RANGE) info->nMin = s.nMin, info->nMax = s.nMax;
    if (info->fMask & SIF_PAGE) info->nPage = s.nPage;
    if (info->fMask & SIF_POS) info->nPos = s.nPos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = w->scrollBar && w->scrollBar->isSliderDown() ? w->scrollBar->sliderPosition() : s.nPos;
    return TRUE;
}
