// One instance per user and settings folder. The process whose main window is
// up holds a lock file and answers on a local socket beside it; another start's
// FindWindowW asks there and gets stand-ins for the windows of the running
// instance, through which GetForegroundWindow, GetParent, SetForegroundWindow
// and SendMessageW reach it (bringing it forward also passes on the launcher's
// activation token). The lock is taken by the first FindWindowW, so of
// two simultaneous starts the second waits for the first one's window.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <list>
#include <memory>

#include "../ProgramIdentity.h"
#include "QtWindow.h"

namespace {

constexpr int kWaitForFirstMs = 10000;
constexpr int kReplyMs = 3000;
// Stands for a window of the running instance that has no handle (its message box).
constexpr int kUnnamedWindowId = 1;
// Longer activation tokens than this are no desktop's: they are not passed on.
constexpr qsizetype kLongestToken = 1024;

// A stream socket of the local socket family, plain POSIX so that start-up does not
// load a network library. Closed with its owner; a listening one also removes its
// socket file then.
struct LocalSocket {
    int fd = -1;
    std::string listeningPath;
    QByteArray pending;  // read but not yet a whole line
    std::unique_ptr<QSocketNotifier> notifier;

    ~LocalSocket() {
        notifier.reset();
        if (fd >= 0) close(fd);
        if (!listeningPath.empty()) unlink(listeningPath.c_str());
    }
};

std::unique_ptr<QLockFile> gLock;
std::unique_ptr<LocalSocket> gServer;
std::list<LocalSocket> gClients;  // connections the server is answering
HWND gPublished = nullptr;
std::unique_ptr<LocalSocket> gLink;  // to the running instance
int gRemoteMain = 0;

// False when the path does not fit a socket address.
bool AddressOf(const QString& path, sockaddr_un* address) {
    QByteArray bytes = QFile::encodeName(path);
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if ((size_t)bytes.size() >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, bytes.constData(), (size_t)bytes.size());
    return true;
}

int NewSocket() { return socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

// Waits for the descriptor to become ready for `events`; false on time-out or error.
bool WaitFor(int fd, short events, int ms) {
    pollfd p = {fd, events, 0};
    int n;
    do {
        n = poll(&p, 1, ms);
    } while (n < 0 && errno == EINTR);
    return n == 1 && !(p.revents & POLLNVAL);
}

bool WriteAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        ssize_t n = send(fd, bytes.constData() + done, (size_t)(bytes.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// What arrived, appended to pending; false once the other side has closed.
bool ReadSome(LocalSocket& socket) {
    char buffer[512];
    ssize_t n;
    do {
        n = recv(socket.fd, buffer, sizeof buffer, 0);
    } while (n < 0 && errno == EINTR);
    if (n > 0) socket.pending.append(buffer, n);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

// Takes one whole line out of pending, without its end; false when none is there.
bool TakeLine(LocalSocket& socket, QByteArray* line) {
    qsizetype end = socket.pending.indexOf('\n');
    if (end < 0) return false;
    *line = socket.pending.left(end).trimmed();
    socket.pending.remove(0, end + 1);
    return true;
}

std::unique_ptr<LocalSocket> Connect(const QString& path, int ms) {
    sockaddr_un address;
    auto socket = std::make_unique<LocalSocket>();
    if (!AddressOf(path, &address) || (socket->fd = NewSocket()) < 0) return nullptr;
    fcntl(socket->fd, F_SETFL, O_NONBLOCK);
    int result = connect(socket->fd, (const sockaddr*)&address, sizeof address);
    if (result != 0 && errno != EINPROGRESS && errno != EAGAIN) return nullptr;
    if (result != 0) {
        int error = 0;
        socklen_t length = sizeof error;
        if (!WaitFor(socket->fd, POLLOUT, ms) || getsockopt(socket->fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 ||
            error != 0)
            return nullptr;
    }
    return socket;
}

// Per user and per settings folder, so runs with separate settings do not meet.
QString EndpointPath() {
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath().toUtf8() + "/.config";
    QString hash = QCryptographicHash::hash(config, QCryptographicHash::Sha1).toHex().left(12);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + QStringLiteral("/%1-%2-%3").arg(QString::fromUtf8(ProgramName())).arg(getuid()).arg(hash);
}

bool HoldLock() {
    if (gLock && gLock->isLocked()) return true;
    if (!gLock) {
        gLock = std::make_unique<QLockFile>(EndpointPath() + QStringLiteral(".lock"));
        gLock->setStaleLockTime(0);  // stale only when its process is gone
    }
    return gLock->tryLock(0);
}

QByteArray Ask(LocalSocket* socket, const QByteArray& request) {
    if (!WriteAll(socket->fd, request + '\n')) return {};
    QElapsedTimer timer;
    timer.start();
    QByteArray line;
    while (!TakeLine(*socket, &line)) {
        int left = kReplyMs - (int)timer.elapsed();
        if (left <= 0 || !WaitFor(socket->fd, POLLIN, left) || !ReadSome(*socket)) return {};
    }
    return line;
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

// A Wayland desktop brings a window forward only with an activation token from
// the launcher of the start that asked; Qt hands the one in the environment to
// the desktop as the window asks to be activated, and a desktop without
// activation gives the window focus as it sees fit. A token is good once.
void BringForward(QWidget* frame, const QByteArray& token) {
    bool withToken = !token.isEmpty() && token.size() <= kLongestToken;
    if (withToken) qputenv("XDG_ACTIVATION_TOKEN", token);
    if (frame->isMinimized()) frame->showNormal();
    frame->raise();
    frame->activateWindow();
    if (withToken) qunsetenv("XDG_ACTIVATION_TOKEN");
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
        BringForward(w->frame, words.size() > 2 ? QByteArray::fromPercentEncoding(words[2]) : QByteArray());
        return "OK";
    }
    return "ERROR";
}

void AnswerClient(LocalSocket* client) {
    bool open = ReadSome(*client);
    QByteArray line;
    while (TakeLine(*client, &line)) WriteAll(client->fd, Answer(line.isEmpty() ? QByteArray("?") : line) + '\n');
    if (open) return;
    // Closed by the other side: forgotten once its notifier has finished signalling.
    client->notifier->setEnabled(false);
    QTimer::singleShot(0, [client] { gClients.remove_if([client](const LocalSocket& s) { return &s == client; }); });
}

void AcceptClients() {
    for (int fd; (fd = accept4(gServer->fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
        LocalSocket& client = gClients.emplace_back();
        client.fd = fd;
        client.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(client.notifier.get(), &QSocketNotifier::activated, [c = &client] { AnswerClient(c); });
    }
}

void Listen() {
    if (gServer) return;
    gServer = std::make_unique<LocalSocket>();
    QString path = EndpointPath() + QStringLiteral(".socket");
    sockaddr_un address;
    if (!AddressOf(path, &address) || (gServer->fd = NewSocket()) < 0) return;
    unlink(address.sun_path);  // a socket left by a run that ended abruptly; we hold the lock
    if (bind(gServer->fd, (const sockaddr*)&address, sizeof address) != 0) return;
    gServer->listeningPath = address.sun_path;
    chmod(address.sun_path, S_IRUSR | S_IWUSR);  // this user only
    fcntl(gServer->fd, F_SETFL, O_NONBLOCK);
    if (listen(gServer->fd, 16) != 0) return;
    gServer->notifier = std::make_unique<QSocketNotifier>(gServer->fd, QSocketNotifier::Read);
    QObject::connect(gServer->notifier.get(), &QSocketNotifier::activated, [] { AcceptClients(); });
}

// Whether a class and title name the registered main window; nothing does before registration.
bool IsInstanceName(LPCWSTR className, LPCWSTR title) {
    const ProgramIdentity& program = RegisteredProgram();
    return program.windowClass && program.windowTitle && className && title &&
           _wcsicmp(className, program.windowClass) == 0 && wcscmp(title, program.windowTitle) == 0;
}

}  // namespace

bool IsInstanceWindow(const Window* w) {
    return !w->parent && !w->remote && IsInstanceName(w->className.c_str(), w->createdTitle.c_str());
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
    if (!IsInstanceName(className, title)) return nullptr;
    if (gLink && gRemoteMain) return ProxyWindow(gRemoteMain, nullptr);
    QString path = EndpointPath() + QStringLiteral(".socket");
    for (int waited = 0; waited < kWaitForFirstMs; waited += 50) {
        if (HoldLock()) return nullptr;
        if (std::unique_ptr<LocalSocket> socket = Connect(path, 200)) {
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

// The launcher's activation token goes along, escaped into one word, and is used
// up here; an instance that knows no token ignores the word.
BOOL BringRemoteToFront(Window* proxy) {
    QByteArray request = "RAISE " + QByteArray::number(proxy->remoteId);
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty() && token.size() <= kLongestToken) request += ' ' + token.toPercentEncoding();
    return gLink && Ask(gLink.get(), request) == "OK";
}
