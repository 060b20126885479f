#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "platform/CapsLockState.h"
#include "platform/DesktopLauncher.h"
#include "platform/IdleTime.h"
#include "platform/ProcessProtection.h"
#include "platform/QtMessageService.h"
#include "platform/SessionEvents.h"
#include "platform/TrayShell.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Before anything secret is in memory.
    ProcessProtection::harden();
    QApplication application(argc, argv);
    const ProgramPaths paths(QApplication::applicationFilePath());
    QApplication::setWindowIcon(Artwork::programIcon(paths));

    QtMessageService messages;
    QtDesktopLauncher launcher;
    QtTrayShell trayShell;
    DesktopIdleTimeSource idleTime;
    BusSessionEvents sessionEvents(QDBusConnection::sessionBus(), QDBusConnection::systemBus());
    DesktopCapsLockState capsLock;
    Program program(paths, {messages, launcher, trayShell, idleTime, sessionEvents, capsLock});
    if (!program.start(QApplication::arguments().value(1)))
        return 1;
    messages.setParentWidget(&program.mainWindow());
    const int result = QApplication::exec();
    program.finish();
    return result;
}
