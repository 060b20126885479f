#include "cli/CliTool.h"
#include "platform/ProcessProtection.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // Before anything secret is in memory.
    ProcessProtection::harden();
    // No GUI library, not even for clip: its helper program holds the clipboard.
    const QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    TerminalPasswordReader terminal;
    CliTool tool(in, out, err, terminal, {::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1});
    return tool.run(QCoreApplication::arguments().mid(1));
}
