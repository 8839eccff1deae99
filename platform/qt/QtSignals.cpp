// Requests to end from outside the program (SIGTERM, SIGINT, SIGHUP and the end
// of the desktop session) reach the main window as a posted message, so the
// program ends through its own exit sequence and keeps its settings.
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "QtWindow.h"

namespace {

int gPipe[2] = {-1, -1};
HWND gTarget = nullptr;

// Only async-signal-safe work here: one byte into the pipe.
void OnSignal(int) {
    int saved = errno;
    char byte = 1;
    [[maybe_unused]] ssize_t n = write(gPipe[1], &byte, 1);
    errno = saved;
}

void PostEndRequest() {
    if (IsWindow(gTarget)) PostMessageW(gTarget, kEndRequestMessage, 0, 0);
}

void Install() {
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char buffer[64];
        while (read(gPipe[0], buffer, sizeof buffer) > 0) {
        }
        PostEndRequest();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, [] { PostEndRequest(); });
}

}  // namespace

void DeliverEndRequestsTo(HWND window) {
    static bool sInstalled = false;
    if (!sInstalled) {
        sInstalled = true;
        Install();
    }
    gTarget = window;
}
