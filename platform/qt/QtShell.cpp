// ShellExecuteEx for the one thing the reader asks of the shell: opening a web
// address in the desktop's browser.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "../TestHooks.h"
#include "QtApp.h"

namespace {

bool gRecording = false;
std::vector<ShellExecuteCall> gRecorded;

bool IsOpenVerb(LPCWSTR verb) { return !verb || _wcsicmp(verb, TEXT("Open")) == 0; }

// Values above 32 mean success, as the shell's instance handles did.
constexpr INT_PTR kShellSuccess = 33;
constexpr INT_PTR kShellNoAssociation = 31;

// How long the desktop's opener gets to say that nothing can open the address.
constexpr int kOpenerVerdictMs = 1500;

// xdg-open ends at once with a non-zero status when no browser can take the
// address (3: none found, 4: it failed); one that is still running has started a
// browser and waits for it, so it is left to finish on its own. Without xdg-open,
// Qt's own search for a browser decides. The address goes out exactly as given:
// QUrl would undo escapes such as the update address's "%2D".
bool OpenWithDesktop(const QString& address) {
    QUrl url(address, QUrl::StrictMode);
    if (!url.isValid()) return false;
    QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return QDesktopServices::openUrl(url);
    auto* process = new QProcess(QCoreApplication::instance());
    // Its complaints about each browser it tried are no news to the user: the
    // message box says what matters.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(opener, {address});
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    if (!process->waitForFinished(kOpenerVerdictMs)) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

}  // namespace

void RecordShellExecutes() {
    gRecording = true;
    gRecorded.clear();
}

void StopShellExecuteRecord() {
    gRecording = false;
    gRecorded.clear();
}

const std::vector<ShellExecuteCall>& RecordedShellExecutes() { return gRecorded; }

BOOL ShellExecuteEx(SHELLEXECUTEINFOW* info) {
    if (!info || info->cbSize != sizeof *info || !info->lpFile) return FALSE;
    if (gRecording) {
        gRecorded.push_back({info->hwnd, info->fMask, info->lpVerb ? info->lpVerb : u"", info->lpFile});
        info->hInstApp = (HINSTANCE)kShellSuccess;
        return TRUE;
    }
    bool opened = false;
    if (IsOpenVerb(info->lpVerb)) {
        EnsureQtApplication();
        opened = OpenWithDesktop(QString::fromUtf16(info->lpFile));
    }
    info->hInstApp = (HINSTANCE)(opened ? kShellSuccess : kShellNoAssociation);
    return opened;
}
