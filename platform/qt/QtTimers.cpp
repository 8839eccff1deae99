// Window timers: a Qt timer per window and id marks its WM_TIMER due; the message
// queue hands it out when nothing else waits, as the platform makes WM_TIMER, so
// that at most one of each timer is ever waiting.
#include <QTimer>
#include <map>
#include <memory>
#include <utility>

#include "../NoThrow.h"
#include "QtWindow.h"

namespace {

struct WindowTimer {
    std::unique_ptr<QTimer> timer;
    bool due = false;
};

std::map<std::pair<HWND, UINT_PTR>, WindowTimer> gTimers;

}  // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC) {
    return CallOrFail<UINT_PTR>(0, [&]() -> UINT_PTR {
        if (!window || !WindowOf(window) || !id) return 0;
        EnsureWindowLayer();
        WindowTimer& entry = gTimers[{window, id}];
        if (!entry.timer) {
            entry.timer = std::make_unique<QTimer>();
            QObject::connect(entry.timer.get(), &QTimer::timeout, [key = std::make_pair(window, id)] {
                auto it = gTimers.find(key);
                if (it == gTimers.end()) return;
                it->second.due = true;
                WakeUp();
            });
        }
        entry.timer->start((int)std::min<UINT>(elapse ? elapse : 1, 0x7FFFFFFF));
        return id;
    });
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL { return gTimers.erase({window, id}) ? TRUE : FALSE; });
}

bool TakeDueTimer(MSG* msg, bool remove) {
    for (auto it = gTimers.begin(); it != gTimers.end();) {
        // A timer dies with its window.
        if (!WindowOf(it->first.first)) {
            it = gTimers.erase(it);
            continue;
        }
        if (it->second.due) {
            *msg = {it->first.first, WM_TIMER, it->first.second, 0, 0, {0, 0}};
            if (remove) it->second.due = false;
            return true;
        }
        ++it;
    }
    return false;
}
