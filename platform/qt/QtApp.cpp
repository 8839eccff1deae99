#include "QtApp.h"

#include <malloc.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "../ProgramIdentity.h"

void EnsureQtApplication() {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt keeps references to argc and argv for the application's lifetime.
    static int sArgc = 1;
    static std::string sName = ProgramName();
    static char* sArgv[] = {sName.data(), nullptr};
    // A window's client image is megabytes and is made again at each resize. Left to
    // itself, malloc raises its mapping threshold when the first one is freed and puts
    // the next ones on the heap, whose freed pages it keeps: at 1920x1080 that held
    // about 6 MB more after a few resizes. A fixed threshold gives each one back whole.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    new QApplication(sArgc, sArgv);
    // Lets the desktop match the windows to the installed menu entry and icon.
    if (const char* name = RegisteredProgram().desktopName) QGuiApplication::setDesktopFileName(QString::fromUtf8(name));
}
