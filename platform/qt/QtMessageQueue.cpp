// The message queue: posted messages, the quit message and made-up paints, with
// GetMessageW running Qt's event loop until the queue has something.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <deque>

#include "../NoThrow.h"
#include "QtWindow.h"

namespace {

// A posted message with the modifier keys that were down when it was posted.
struct Queued {
    MSG msg;
    int keys;
};

std::deque<Queued> gQueue;
int gKeyState = 0;  // the modifiers of the message last retrieved
bool gQuitPosted = false;
int gQuitCode = 0;

// Deletes the widgets of destroyed windows; only called between messages.
void FlushDeletedWidgets() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

void WakeUp() {
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

bool RunModalLoop(const std::function<bool()>& finished) {
    while (!finished()) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam);
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

BOOL PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int keys) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (window && !WindowOf(window)) return FALSE;
        gQueue.push_back({{window, message, wParam, lParam, 0, {0, 0}}, keys});
        WakeUp();
        return TRUE;
    });
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostInputMessage(window, message, wParam, lParam, gKeyState);
}

SHORT GetKeyState(int virtualKey) {
    int bit = virtualKey == VK_SHIFT ? kKeyShift : virtualKey == VK_CONTROL ? kKeyControl
              : virtualKey == VK_MENU  ? kKeyAlt
                                       : 0;
    return (gKeyState & bit) ? (SHORT)0x8000 : 0;
}

void PostQuitMessage(int exitCode) {
    gQuitPosted = true;
    gQuitCode = exitCode;
    WakeUp();
}

// Posted messages first, then the quit message, then a paint for a window that
// needs one, then a due timer (paints and timers are made up when nothing else
// waits, as on the platform).
BOOL PeekMessageW(LPMSG msg, HWND, UINT, UINT, UINT removeMsg) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!gQueue.empty()) {
            *msg = gQueue.front().msg;
            if (removeMsg & PM_REMOVE) {
                gKeyState = gQueue.front().keys;
                gQueue.pop_front();
            }
            return TRUE;
        }
        if (gQuitPosted) {
            *msg = {nullptr, WM_QUIT, (WPARAM)gQuitCode, 0, 0, {0, 0}};
            if (removeMsg & PM_REMOVE) gQuitPosted = false;
            return TRUE;
        }
        if (Window* w = WindowNeedingPaint()) {
            *msg = {w->handle, WM_PAINT, 0, 0, 0, {0, 0}};
            return TRUE;
        }
        return TakeDueTimer(msg, removeMsg & PM_REMOVE) ? TRUE : FALSE;
    });
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    EnsureWindowLayer();
    for (;;) {
        FlushDeletedWidgets();
        if (PeekMessageW(msg, window, filterMin, filterMax, PM_REMOVE)) return msg->message != WM_QUIT;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Characters are not generated: the program acts on WM_KEYDOWN only.
BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageW(const MSG* msg) {
    return CallOrFail<LRESULT>(0, [&]() -> LRESULT {
        Window* w = WindowOf(msg->hwnd);
        if (!w || w->remote) return 0;
        if (msg->message == WM_PAINT && !w->invalid) return 0;
        return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    });
}
