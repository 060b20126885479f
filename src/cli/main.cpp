#include "cli/CliTool.h"
#include "platform/ProcessProtection.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// A GUI application only for a command that reaches the desktop, and only
// where a display is there: without one Qt would end the process, while
// the command can say what it lacks.
std::unique_ptr<QCoreApplication> application(int& argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
                         || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (display && CliTool::needsDisplay(arguments))
        return std::make_unique<QGuiApplication>(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[])
{
    // Before anything secret is in memory.
    ProcessProtection::harden();
    const std::unique_ptr<QCoreApplication> app = application(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    TerminalPasswordReader terminal;
    CliTool tool(in, out, err, terminal, {::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1});
    return tool.run(QCoreApplication::arguments().mid(1));
}
