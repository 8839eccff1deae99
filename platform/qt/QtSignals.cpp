// Requests to end from outside the program (SIGTERM, SIGINT, SIGHUP and the end
// of the desktop session) reach the main window as a posted message, so the
// program ends through its own exit sequence and keeps its settings. The window
// takes them before its WM_CREATE, so a message box open during creation is
// closed by them too.
#include <QGuiApplication>
#include <QSocketNotifier>
#include <unistd.h>

#include "../EndSignals.h"
#include "../ProgramIdentity.h"
#include "QtWindow.h"

namespace {

HWND gTarget = nullptr;

void PostEndRequest() {
    UINT message = RegisteredProgram().endRequestMessage;
    if (message && IsWindow(gTarget)) PostMessageW(gTarget, message, 0, 0);
}

void WatchSignalPipe() {
    int pipe = EndSignalPipe();
    if (pipe < 0) return;
    auto* notifier = new QSocketNotifier(pipe, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [pipe] {
        char buffer[64];
        while (read(pipe, buffer, sizeof buffer) > 0) {
        }
        PostEndRequest();
    });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, [] { PostEndRequest(); });
}

}  // namespace

void DeliverEndRequestsTo(HWND window) {
    static bool sWatching = false;
    if (!sWatching) {
        sWatching = true;
        CatchEndSignals();
        WatchSignalPipe();
    }
    gTarget = window;
    // A signal that came before there was a window to take it.
    if (EndSignalReceived()) PostEndRequest();
}
