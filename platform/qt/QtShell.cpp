// ShellExecuteEx for the one thing the reader asks of the shell: opening a web
// address in the desktop's browser.
#include <QDesktopServices>
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
        QUrl url(QString::fromUtf16(info->lpFile), QUrl::StrictMode);
        opened = url.isValid() && QDesktopServices::openUrl(url);
    }
    info->hInstApp = (HINSTANCE)(opened ? kShellSuccess : kShellNoAssociation);
    return opened;
}
