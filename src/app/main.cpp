#include "app/Artwork.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "platform/DesktopLauncher.h"
#include "platform/IdleTime.h"
#include "platform/QtMessageService.h"
#include "platform/TrayShell.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(Artwork::programIcon(64)));

    QtMessageService messages;
    QtDesktopLauncher launcher;
    QtTrayShell trayShell;
    DesktopIdleTimeSource idleTime;
    Program program(ProgramPaths(QApplication::applicationFilePath()), {messages, launcher, trayShell, idleTime});
    if (!program.start(QApplication::arguments().value(1)))
        return 1;
    messages.setParentWidget(&program.mainWindow());
    const int result = QApplication::exec();
    program.finish();
    return result;
}
