// One instance per user and settings folder. The process whose main window is
// up holds a lock file and answers on a local socket beside it; another start's
// FindWindowW asks there and gets stand-ins for the windows of the running
// instance, through which GetForegroundWindow, GetParent, SetForegroundWindow
// and SendMessageW reach it. The lock is taken by the first FindWindowW, so of
// two simultaneous starts the second waits for the first one's window.
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <memory>
#include <unistd.h>

#include "QtWindow.h"

namespace {

const WCHAR* const kInstanceClass = TEXT("Tessaly-Velun");
const WCHAR* const kInstanceTitle = TEXT("Velun");
constexpr int kWaitForFirstMs = 10000;
constexpr int kReplyMs = 3000;
// Stands for a window of the running instance that has no handle (its message box).
constexpr int kUnnamedWindowId = 1;

std::unique_ptr<QLockFile> gLock;
std::unique_ptr<QLocalServer> gServer;  // closed at exit, which removes its socket file
HWND gPublished = nullptr;
std::unique_ptr<QLocalSocket> gLink;  // to the running instance
int gRemoteMain = 0;

// Per user and per settings folder, so runs with separate settings do not meet.
QString EndpointPath() {
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath().toUtf8() + "/.config";
    QString hash = QCryptographicHash::hash(config, QCryptographicHash::Sha1).toHex().left(12);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + QStringLiteral("/velun-%1-%2").arg(getuid()).arg(hash);
}

bool HoldLock() {
    if (gLock && gLock->isLocked()) return true;
    if (!gLock) {
        gLock = std::make_unique<QLockFile>(EndpointPath() + QStringLiteral(".lock"));
        gLock->setStaleLockTime(0);  // stale only when its process is gone
    }
    return gLock->tryLock(0);
}

QByteArray Ask(QLocalSocket* socket, const QByteArray& request) {
    socket->write(request + '\n');
    if (!socket->waitForBytesWritten(kReplyMs)) return {};
    while (!socket->canReadLine())
        if (!socket->waitForReadyRead(kReplyMs)) return {};
    return socket->readLine().trimmed();
}

QByteArray ForegroundState() {
    Window* main = WindowOf(gPublished);
    QWidget* active = QApplication::activeWindow();
    Window* w = WindowOfWidget(active);
    if (!main || !w) return "NONE";
    bool ownWidget = w->frame == active;
    Window* top = w;
    while (top->owner || top->parent) top = top->owner ? top->owner : top->parent;
    if (top != main) return "NONE";
    if (w == main && ownWidget) return "MAIN";
    return "DIALOG " + QByteArray::number(ownWidget ? (qulonglong)(uintptr_t)w->handle : kUnnamedWindowId);
}

QByteArray Answer(const QByteArray& line) {
    QList<QByteArray> words = line.split(' ');
    if (words[0] == "QUERY") return gPublished ? "WINDOW " + QByteArray::number((qulonglong)(uintptr_t)gPublished) : "NONE";
    if (words[0] == "FOREGROUND") return ForegroundState();
    if (words.size() < 2) return "ERROR";
    HWND window = (HWND)(uintptr_t)words[1].toULongLong();
    Window* w = WindowOf(window);
    if (!w || w->remote) return "ERROR";
    // Pointers mean nothing here, so only messages with plain numbers make sense;
    // they are posted, and the other start does not wait for the outcome.
    if (words[0] == "SEND" && words.size() == 5) {
        PostMessageW(window, words[2].toUInt(), words[3].toULongLong(), words[4].toLongLong());
        return "OK";
    }
    if (words[0] == "RAISE" && w->frame) {
        if (w->frame->isMinimized()) w->frame->showNormal();
        w->frame->raise();
        w->frame->activateWindow();
        return "OK";
    }
    return "ERROR";
}

void Listen() {
    if (gServer) return;
    gServer = std::make_unique<QLocalServer>();
    QString path = EndpointPath() + QStringLiteral(".socket");
    QLocalServer::removeServer(path);  // a socket left by a run that ended abruptly; we hold the lock
    gServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!gServer->listen(path)) return;
    QObject::connect(gServer.get(), &QLocalServer::newConnection, [] {
        while (QLocalSocket* socket = gServer->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                while (socket->canReadLine()) {
                    QByteArray line = socket->readLine().trimmed();
                    socket->write(Answer(line.isEmpty() ? QByteArray("?") : line) + '\n');
                }
            });
        }
    });
}

}  // namespace

bool IsInstanceWindow(const Window* w) {
    return !w->parent && !w->remote && _wcsicmp(w->className.c_str(), kInstanceClass) == 0 &&
           w->createdTitle == kInstanceTitle;
}

void PublishWindow(Window* window) {
    if (!HoldLock()) return;  // another process answers for this user; this window stays private
    gPublished = window->handle;
    Listen();
}

void WithdrawWindow(Window* window) {
    if (gPublished == window->handle) gPublished = nullptr;
}

HWND FindRemoteWindow(LPCWSTR className, LPCWSTR title) {
    if (_wcsicmp(className, kInstanceClass) != 0 || wcscmp(title, kInstanceTitle) != 0) return nullptr;
    if (gLink && gRemoteMain) return ProxyWindow(gRemoteMain, nullptr);
    QString path = EndpointPath() + QStringLiteral(".socket");
    for (int waited = 0; waited < kWaitForFirstMs; waited += 50) {
        if (HoldLock()) return nullptr;
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(path);
        if (socket->waitForConnected(200)) {
            QList<QByteArray> reply = Ask(socket.get(), "QUERY").split(' ');
            if (reply.size() == 2 && reply[0] == "WINDOW") {
                gRemoteMain = (int)reply[1].toLongLong();
                gLink = std::move(socket);
                return ProxyWindow(gRemoteMain, nullptr);
            }
        }
        // The first start is still opening its window, or already closing it.
        QThread::msleep(50);
    }
    return nullptr;
}

HWND RemoteForegroundWindow() {
    if (!gLink) return nullptr;
    QList<QByteArray> reply = Ask(gLink.get(), "FOREGROUND").split(' ');
    HWND main = ProxyWindow(gRemoteMain, nullptr);
    if (reply[0] == "MAIN") return main;
    if (reply[0] == "DIALOG" && reply.size() == 2) return ProxyWindow((int)reply[1].toLongLong(), main);
    return nullptr;
}

LRESULT SendRemoteMessage(Window* proxy, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gLink)
        Ask(gLink.get(), QByteArray("SEND ") + QByteArray::number(proxy->remoteId) + ' ' + QByteArray::number(message) +
                             ' ' + QByteArray::number((qulonglong)wParam) + ' ' + QByteArray::number((qlonglong)lParam));
    return 0;
}

BOOL BringRemoteToFront(Window* proxy) {
    return gLink && Ask(gLink.get(), "RAISE " + QByteArray::number(proxy->remoteId)) == "OK";
}
