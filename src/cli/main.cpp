#include "cli/CliTool.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    TerminalPasswordReader terminal;
    CliTool tool(in, out, err, terminal);
    return tool.run(QCoreApplication::arguments().mid(1));
}
