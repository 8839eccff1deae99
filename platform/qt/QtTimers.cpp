// Window timers: each one a Qt timer that marks it due and wakes the message loop,
// which hands out WM_TIMER when nothing else waits, as the platform does.
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "../NoThrow.h"
#include "QtWindow.h"

namespace {

struct WindowTimer {
    HWND window;
    UINT_PTR id;
    std::unique_ptr<QTimer> clock;
    bool due = false;
};

std::vector<WindowTimer> gTimers;

std::vector<WindowTimer>::iterator Find(HWND window, UINT_PTR id) {
    return std::find_if(gTimers.begin(), gTimers.end(),
                        [&](const WindowTimer& t) { return t.window == window && t.id == id; });
}

}  // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    return CallOrFail<UINT_PTR>(0, [&]() -> UINT_PTR {
        if (!WindowOf(window) || proc || !QCoreApplication::instance()) return 0;
        elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
        auto t = Find(window, id);
        if (t == gTimers.end()) {
            gTimers.push_back({window, id, std::make_unique<QTimer>(), false});
            t = gTimers.end() - 1;
            QObject::connect(t->clock.get(), &QTimer::timeout, [window, id] {
                auto found = Find(window, id);
                if (found == gTimers.end()) return;
                found->due = true;
                WakeUp();
            });
        }
        t->due = false;
        t->clock->start((int)elapse);
        return id ? id : 1;
    });
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto t = Find(window, id);
    if (t == gTimers.end()) return FALSE;
    gTimers.erase(t);
    return TRUE;
}

bool TakeDueTimer(MSG* msg, bool remove) {
    gTimers.erase(std::remove_if(gTimers.begin(), gTimers.end(), [](const WindowTimer& t) { return !WindowOf(t.window); }),
                  gTimers.end());
    for (WindowTimer& t : gTimers) {
        if (!t.due) continue;
        *msg = {t.window, WM_TIMER, (WPARAM)t.id, 0, 0, {0, 0}};
        if (remove) t.due = false;
        return true;
    }
    return false;
}
