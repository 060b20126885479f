#pragma once

#include "cli/PasswordReader.h"

#include <QStringList>
#include <QTextStream>

class DataDocument;

// The command-line tool: reads, searches, exports and re-keys data files
// without a desktop. Every failure is reported on the error stream with the
// program's own message and a distinct exit code; a failed command never
// changes a file.
class CliTool {
public:
    enum ExitCode {
        Success = 0,
        NothingFound = 1,
        UsageError = 2,
        CannotRead = 3,
        IncorrectFormat = 4,
        CannotOpen = 5,
        CannotWrite = 6,
        NoSuchRecord = 7,
        UnusablePassword = 8,
        NotADataDocument = 9,
        TargetExists = 10,
    };

    CliTool(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal);

    // arguments without the program's own name.
    int run(QStringList arguments);

    static QString helpText();

private:
    int list(const QStringList& args);
    int show(const QStringList& args);
    int find(QStringList args);
    int exportXml(const QStringList& args);
    int importXml(const QStringList& args);
    int changePassword(const QStringList& args);

    std::optional<QString> askPassword(const QString& prompt);
    // The new password, asked twice on a terminal; nullopt (reported) when
    // it cannot be used. The caller wipes it when done.
    std::optional<QString> askNewPassword();
    bool retypedAlike(const QString& password);
    int openDocument(const QString& path, DataDocument& document);
    int writeDocument(const QString& path, const QString& password, const DataDocument& document);
    int usage(const QString& problem);
    int fail(int code, const QString& message);

    QTextStream& m_in;
    QTextStream& m_out;
    QTextStream& m_err;
    PasswordReader& m_terminal;
    bool m_passwordFromStdin = false;
};
