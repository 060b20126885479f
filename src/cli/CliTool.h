#pragma once

#include "cli/PasswordReader.h"
#include "datafile/DataFileLock.h"
#include "datafile/DataFile.h"
#include "document/interchange/Interchange.h"

#include <optional>

#include <QStringList>
#include <QTextStream>

// The command-line tool: reads, searches, exports and re-keys data files
// without a desktop, and generates passwords. Every failure is reported on the error stream with the
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
        FileInUse = 11,
        CostlyDerivation = 12,
    };

    // Which of out and err are shown on a terminal, which must not be given
    // the control characters a file may hold; a pipe gets the text unchanged.
    struct Terminals {
        bool out = false;
        bool err = false;
    };

    CliTool(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal, Terminals terminals);

    // arguments without the program's own name.
    int run(QStringList arguments);

    static QString helpText();

    // The record-type catalogue that import --from makes records from;
    // unless given, the one beside the program.
    void useCatalogue(const QString& path);
    // The word list passphrases are drawn from; unless given, the one beside
    // the program.
    void useWordList(const QString& path);

private:
    int list(const QStringList& args);
    int show(const QStringList& args);
    int find(QStringList args);
    int exportXml(const QStringList& args);
    int importXml(QStringList args);
    int importForeign(QStringList args);
    // INPUT's entries, in format or the one its content shows, as a new data file.
    int importEntries(const QString& source, const QString& target, QByteArray input,
                      const DataFile::Sealing& sealing, std::optional<Interchange::Format> format);
    int exportForeign(QStringList args);
    int convert(QStringList args);
    int info(const QStringList& args);
    // The whole file source, which must be a regular file no larger than a
    // data file may be; Success or the exit code, reported.
    int readInput(const QString& source, QByteArray& bytes);
    // Asks target's new password and writes document there as a new file;
    // a target that exists already is refused before the password is asked.
    static std::optional<QString> takeCostOptions(QStringList& args, DataFile::Sealing& sealing);
    int createFile(const QString& target, const DataDocument& document, const DataFile::Sealing& sealing);
    // Success when a file sealed as sealing may have its key derived here:
    // within the machine's memory, and quick or allowed to be slow; else the
    // exit code, reported.
    int derivationRefused(const DataFile::Sealing& sealing);
    int changePassword(QStringList args);
    int merge(const QStringList& args);
    // Takes path's lock, held until lock goes, so that no other program
    // saves over what is written meanwhile; the exit code, reported, when
    // another program has the file open.
    int lockForWriting(const QString& path, DataFileLock& lock);
    int generate(QStringList args);
    int generatePassphrases(QStringList args);
    int totp(QStringList args);
    // Reads file into document and finds the record at path (captions
    // joined by "/"); the exit code when either fails, else Success.
    int openRecord(const QString& file, const QString& path, DataDocument& document, pugi::xml_node& record);
    int analyze(QStringList args);
    void reportBackups(const QString& path, bool remove);

    std::optional<QString> askPassword(const QString& prompt);
    // The new password, asked twice on a terminal; nullopt (reported) when
    // it cannot be used. The caller wipes it when done.
    std::optional<QString> askNewPassword(DataFile::Format format);
    bool retypedAlike(const QString& password);
    // Asks path's password and reads it into document; with keptPassword,
    // the password goes there (the caller wipes it), else it is wiped.
    int openDocument(const QString& path, DataDocument& document, QString* keptPassword = nullptr);
    int written(DataFile::Status status, const QString& detail);
    int targetExists(const QString& path);
    // Text from the file as it may be shown on out.
    QString shown(const QString& text) const;
    int usage(const QString& problem);
    int fail(int code, const QString& message);
    // One line on err.
    void report(const QString& message);

    QTextStream& m_in;
    QTextStream& m_out;
    QTextStream& m_err;
    PasswordReader& m_terminal;
    const Terminals m_terminals;
    bool m_passwordFromStdin = false;
    bool m_allowSlowDerivation = false;
    QString m_catalogueFile;
    QString m_wordListFile;

    static const QString FromOption;
    static const QString ToOption;
};
