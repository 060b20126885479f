#pragma once

#include "cli/ItemPath.h"
#include "cli/PasswordReader.h"
#include "datafile/DataFile.h"
#include "datafile/DataFileLock.h"

#include <optional>

#include <QStringList>
#include <QTextStream>

class CaptionTable;
class DataDocument;
class SettingsStore;

// The exit codes of the command-line tool; --help lists them.
struct CliExit {
    enum Code {
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
        AmbiguousPath = 13,
        NoClipboard = 14,
    };
};

// What every command works with: the streams, the passwords asked, the
// global options, and the reading, writing and reporting they share. Every
// failure is reported on the error stream with the program's own message and
// a distinct exit code; a failed command never changes a file.
class CliContext : public CliExit {
public:
    // Which of out and err are shown on a terminal, which must not be given
    // the control characters a file may hold; a pipe gets the text unchanged.
    struct Terminals {
        bool out = false;
        bool err = false;
    };

    CliContext(QTextStream& in, QTextStream& out, QTextStream& err, PasswordReader& terminal, Terminals terminals);
    ~CliContext();

    QTextStream& out() { return m_out; }
    QTextStream& err() { return m_err; }
    bool outIsTerminal() const { return m_terminals.out; }

    // Set by the global options before the command runs.
    void takePasswordsFromStdin() { m_passwordFromStdin = true; }
    void allowSlowDerivation() { m_allowSlowDerivation = true; }
    void useCatalogue(const QString& path) { m_catalogueFile = path; }
    void useWordList(const QString& path) { m_wordListFile = path; }
    void useClipboardHelper(const QString& path) { m_clipboardHelperFile = path; }

    // The catalogue records are made from: the one given, else language's
    // or the one beside the program; empty when none.
    QString catalogueFile(const QString& language) const;
    QString wordListFile() const;
    // The program clip holds the clipboard with (ClipboardHelper); unless
    // given, the one beside the tool.
    QString clipboardHelperFile() const;
    // The program's settings, read once: the language and the generator's choices.
    const SettingsStore& settings();
    QString language();
    // The captions of the chosen language.
    const CaptionTable& captions();

    // Takes the options that set a protected file's derivation cost out of
    // args into sealing; the problem when they are not numbers within the
    // limits or the file written is no protected file.
    static std::optional<QString> takeCostOptions(QStringList& args, DataFile::Sealing& sealing);
    // Takes "OPTION VALUE" out of args: the value, an empty text for an
    // option without one, nullopt when the option is not given.
    static std::optional<QString> takeOption(QStringList& args, const QString& option);
    // Every value of a repeatable "OPTION VALUE"; false when one lacks its value.
    static bool takeRepeatedOption(QStringList& args, const QString& option, QStringList& values);

    // The whole file source, which must be a regular file no larger than a
    // data file may be; Success or the exit code, reported.
    int readInput(const QString& source, QByteArray& bytes);
    // Asks target's new password and writes document there as a new file;
    // a target that exists already is refused before the password is asked.
    int createFile(const QString& target, const DataDocument& document, const DataFile::Sealing& sealing);
    // The same for a document text that goes straight into the file.
    int createFile(const QString& target, const DataFile::TextWriter& writeText, const DataFile::Sealing& sealing);
    // Success when a file sealed as sealing may have its key derived here:
    // within the machine's memory, and quick or allowed to be slow; else the
    // exit code, reported.
    int derivationRefused(const DataFile::Sealing& sealing);
    // Takes path's lock, held until lock goes, so that no other program
    // saves over what is written meanwhile; the exit code, reported, when
    // another program has the file open.
    int lockForWriting(const QString& path, DataFileLock& lock);
    // Asks path's password and reads it into document; with keptPassword,
    // the password goes there (the caller wipes it), else it is wiped.
    int openDocument(const QString& path, DataDocument& document, QString* keptPassword = nullptr);
    // The item of kind at path in document, reported when there is none or
    // when several fit.
    int locate(const DataDocument& document, const QString& path, ItemPath::Kind kind, pugi::xml_node& item);
    // Reads file into document and finds the record at path.
    int openRecord(const QString& file, const QString& path, DataDocument& document, pugi::xml_node& record);
    // The new password, asked twice on a terminal; nullopt (reported) when
    // it cannot be used. The caller wipes it when done.
    std::optional<QString> askNewPassword(DataFile::Format format);
    int written(DataFile::Status status, const QString& detail);
    int targetExists(const QString& path);
    void reportBackups(const QString& path, bool remove);

    // Text from the file as it may be shown on out.
    QString shown(const QString& text) const;
    // One line and the pointer to the help on err: UsageError.
    int usage(const QString& problem);
    int fail(int code, const QString& message);
    // One line on err.
    void report(const QString& message);

    static const QString MessageIncorrectFormat;
    static const QString MessageNewerFormat;
    static const QString RemoveBackupsOption;
    static const QString AllowSlowOption;

private:
    std::optional<QString> askPassword(const QString& prompt);
    bool retypedAlike(const QString& password);

    QTextStream& m_in;
    QTextStream& m_out;
    QTextStream& m_err;
    PasswordReader& m_terminal;
    const Terminals m_terminals;
    bool m_passwordFromStdin = false;
    bool m_allowSlowDerivation = false;
    QString m_catalogueFile;
    QString m_wordListFile;
    QString m_clipboardHelperFile;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<CaptionTable> m_captions;
};
