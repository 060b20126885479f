#pragma once

#include "app/FileChangeWatch.h"
#include "app/OpenFileLock.h"
#include "datafile/DataFile.h"
#include "datafile/FileIdentity.h"
#include "document/DataDocument.h"
#include "document/DocumentHistory.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class CaptionTable;
class LongWork;
class MessageService;
class PasswordPrompt;
class SettingsStore;

// The open document: what it holds, the file it came from or went to, that
// file's password and sealing, its lock, and whether there are unsaved
// changes. The File commands work on it here; the window only shows what
// they leave behind. A file becomes the current one only once it was read
// or written, so whatever fails leaves the session as it was.
class DocumentSession : public QObject {
    Q_OBJECT
public:
    // fileWork: runs reading and writing while the user is told about it.
    // The settings also remember the cost measured for new protected files.
    DocumentSession(MessageService& messages, const CaptionTable& captions, SettingsStore& settings, LongWork& fileWork,
                    QObject* parent = nullptr);
    ~DocumentSession() override;

    // Needed before any command that asks for a password.
    void setPasswordPrompt(PasswordPrompt* prompt) { m_prompt = prompt; }
    // How the cost of new protected files is measured, once per machine;
    // DerivationCalibration unless set.
    using Calibration = std::function<std::optional<ProtectedContainer::DerivationCost>()>;
    void setCalibration(Calibration calibration) { m_calibration = std::move(calibration); }
    // How long changes of the open file by another program must have come
    // to rest before they are looked at; a sync program writes in steps.
    void setDiskSettling(std::chrono::milliseconds settle);
    // Whether the user is in the middle of something (a dialog open) that
    // a document read again or a question must not interrupt: such a change
    // on disk is looked at later.
    void setUserBusy(std::function<bool()> userBusy) { m_userBusy = std::move(userBusy); }

    DataDocument& document() { return m_document; }
    const DataDocument& document() const { return m_document; }
    // Every change of the document goes through it; it lasts as long as the document.
    DocumentHistory& history() { return m_history; }
    const QString& fileName() const { return m_fileName; }
    // The open file's folder, where the file dialogs start; empty without a file.
    QString folder() const;
    const QString& password() const { return m_password; }
    const DataFile::Sealing& sealing() const { return m_sealing; }
    bool readOnly() const { return m_fileLock.readOnly(); }
    bool Modified() const { return m_modified; }
    // False: the document is as its file holds it (or the changes were given up).
    void SetModified(bool value);

    // Asks for the password of path and reads it into the document; on
    // failure the user has been told and nothing changed. With askAgain a
    // password that does not open the file is asked for once more, until
    // the user cancels. The file name is left for the caller to adopt.
    bool ReadDataFile(const QString& path, bool askAgain = false);
    // The file named on the command line, else (with "Open last file") the last one.
    void OpenStartupFile(const QString& commandLineFile);

    // The File commands. Those that save answer whether the document is now
    // safely on disk.
    void newDocument();
    void open();
    bool save();
    bool saveAs();
    bool saveAsWithPassword(const QString& path, DataFile::Format format);
    void changePassword();
    // File ▸ Merge…: asks for a data file, offering a conflict copy of the
    // open file first, and for its password, and merges it into the
    // document as one change.
    void mergeFile();
    // Whether saving may go to another file (Save as) when the open one
    // cannot be written in place: not from the lock, where nobody has given
    // the password that would let the document leave its file.
    enum class SaveElsewhere { Offered, Refused };
    // May the program close? Saves or asks first when there are unsaved changes.
    bool mayClose(SaveElsewhere elsewhere = SaveElsewhere::Offered);

signals:
    // The file name, the modified flag or the read-only state may have changed.
    void statusChanged();
    // The document was emptied or another file's took its place.
    void documentReplaced();
    // Another file's items were merged into the document.
    void documentMerged();
    // A line of news for the status bar: the file was read again, a
    // conflict copy lies beside it.
    void news(const QString& text);

private:
    // Another document took the place of the last one: its history goes with it.
    void replaceDocument();
    // The type Save as starts from: the open file's, or for a document not
    // yet saved the one the settings choose for new files.
    DataFile::Format formatToOffer() const;
    // The remembered cost of new protected files, measured first if there is
    // none; the default cost when measuring fails, to be tried again later.
    ProtectedContainer::DerivationCost newFileCost();
    bool WriteDataFile(const QString& path, const QString& password, bool backups, const DataFile::Sealing& sealing);
    // The password of the open file from now on; the previous one is wiped.
    void adoptPassword(const QString& password);
    bool saveUnless(SaveElsewhere elsewhere);
    // Watches the open file, newly named, for changes by other programs.
    void watchFile();
    // Whether another program changed the open file since.
    bool changedOnDisk() const;
    // Before the open file is written in place: go on writing, stop (the
    // user cancelled or what they chose failed), or done (saved elsewhere).
    enum class InPlace { Write, Stop, Done };
    InPlace diskChangeResolved(SaveElsewhere elsewhere);
    // Merges the open file as it is on disk now into the document.
    bool mergeFromDisk();
    // The watch says the open file may have changed.
    void diskChanged();
    // Reads the unmodified document again from its file, with its password.
    void reloadFromDisk();
    void tellConflictCopies();
    // Asks whether to save unsaved changes first; false when the command
    // that asked must not go on. New asks without a question mark.
    bool changesSavedOrGivenUp(bool asQuestion, SaveElsewhere elsewhere = SaveElsewhere::Offered);

    MessageService& m_messages;
    const CaptionTable& m_captions;
    SettingsStore& m_settings;
    LongWork& m_fileWork;
    PasswordPrompt* m_prompt = nullptr;
    Calibration m_calibration;

    DataDocument m_document;
    DocumentHistory m_history;
    QString m_fileName;
    QString m_password;
    // How the open file is sealed; saving keeps it.
    DataFile::Sealing m_sealing;
    OpenFileLock m_fileLock;
    bool m_modified = false;
    // The open file as last read or written; none when it could not be told.
    std::optional<FileIdentity> m_onDisk;
    // The changed file the user was last told about, so that changes to
    // other files in its folder do not tell them again.
    std::optional<FileIdentity> m_toldAbout;
    FileChangeWatch m_watch;
    // A command works on the file: a change noticed meanwhile waits.
    bool m_fileBusy = false;
    std::function<bool()> m_userBusy;
};
