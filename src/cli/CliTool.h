#pragma once

#include "cli/CliContext.h"

#include <QStringList>
#include <QTextStream>

// The command-line tool: takes the global options, then hands the command's
// arguments to the command the table names (CliCommand).
class CliTool : public CliExit {
public:
    using Terminals = CliContext::Terminals;

    CliTool(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal, Terminals terminals);

    // arguments without the program's own name.
    int run(QStringList arguments);

    static QString helpText();

    // The record-type catalogue that import --from and add make records
    // from; unless given, the one beside the program.
    void useCatalogue(const QString& path);
    // The word list passphrases are drawn from; unless given, the one beside
    // the program.
    void useWordList(const QString& path);
    // The clipboard helper clip runs; unless given, the one beside the tool.
    void useClipboardHelper(const QString& path);

private:
    CliContext m_context;
};
