#include "app/ui/Artwork.h"
#include "app/ui/FormMain.h"
#include "app/ui/Program.h"
#include "config/MessageBoxTitles.h"
#include "platform/ProcessProtection.h"
#include "platform/SessionEvents.h"
#include "platform/ui/CapsLockState.h"
#include "platform/ui/DesktopIdleTimeSource.h"
#include "platform/ui/DesktopLauncher.h"
#include "platform/ui/QtMessageService.h"
#include "platform/ui/TrayShell.h"

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
    messages.setTitles(
        [&program](MessageService::Kind kind) { return MessageBoxTitles::title(program.captions(), kind); });
    if (!program.start(QApplication::arguments().value(1)))
        return 1;
    messages.setParentWidget(&program.mainWindow());
    const int result = QApplication::exec();
    program.finish();
    return result;
}
