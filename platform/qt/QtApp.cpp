#include "QtApp.h"

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
    new QApplication(sArgc, sArgv);
    // Lets the desktop match the windows to the installed menu entry and icon.
    if (const char* name = RegisteredProgram().desktopName) QGuiApplication::setDesktopFileName(QString::fromUtf8(name));
}
