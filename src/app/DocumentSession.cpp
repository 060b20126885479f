#include "app/DocumentSession.h"

#include "app/DataFileReader.h"
#include "app/DataFileWriter.h"
#include "app/DerivationConsent.h"
#include "app/DiskChangeQuestions.h"
#include "app/FileMerge.h"
#include "app/PasswordPrompt.h"
#include "base/SecureWipe.h"
#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "datafile/ConflictCopies.h"
#include "datafile/DerivationCalibration.h"
#include "datafile/FileTypes.h"
#include "datafile/SaveLeftovers.h"
#include "platform/LongWork.h"
#include "platform/MessageService.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QScopedValueRollback>

namespace {

// Long enough for a sync program to finish writing a file, short enough to
// seem at once.
constexpr std::chrono::milliseconds DefaultDiskSettling(700);

} // namespace

DocumentSession::DocumentSession(MessageService& messages, const CaptionTable& captions, SettingsStore& settings,
                                 LongWork& fileWork, QObject* parent)
    : QObject(parent)
    , m_messages(messages)
    , m_captions(captions)
    , m_settings(settings)
    , m_fileWork(fileWork)
    , m_calibration([] { return DerivationCalibration::calibrate(); })
    , m_history(m_document)
    , m_fileLock(messages, captions)
    , m_watch(DefaultDiskSettling)
{
    m_document.clear();
    connect(&m_watch, &FileChangeWatch::changed, this, &DocumentSession::diskChanged);
    // Undoing back to the saved state leaves nothing to save.
    connect(&m_history, &DocumentHistory::changed, this, [this] {
        if (m_modified == m_history.isAtSavedState())
            SetModified(!m_history.isAtSavedState());
    });
}

DocumentSession::~DocumentSession()
{
    SecureWipe::wipe(m_password);
}

void DocumentSession::setDiskSettling(std::chrono::milliseconds settle)
{
    m_watch.setSettling(settle);
}

void DocumentSession::SetModified(bool value)
{
    m_modified = value;
    if (!value)
        m_history.markSaved();
    emit statusChanged();
}

void DocumentSession::replaceDocument()
{
    m_history.clear();
    emit documentReplaced();
}

DataFile::Format DocumentSession::formatToOffer() const
{
    if (!m_fileName.isEmpty())
        return m_sealing.format;
    return m_settings.isNotOff(SettingKey::NewFilesProtected) ? DataFile::Format::Protected : DataFile::Format::Plain;
}

// Measured where the user waits for a save anyway, so no start-up waits for it.
ProtectedContainer::DerivationCost DocumentSession::newFileCost()
{
    if (const std::optional<ProtectedContainer::DerivationCost> remembered = m_settings.newFileCost())
        return *remembered;
    const std::optional<ProtectedContainer::DerivationCost> measured = m_fileWork.run(
        m_captions.GetCaption(QStringLiteral("ProgressMeasuring"), QStringLiteral("Measuring this computer's speed…")),
        m_calibration);
    if (!measured)
        return {};
    m_settings.setNewFileCost(*measured);
    return *measured;
}

QString DocumentSession::folder() const
{
    return m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absolutePath();
}

bool DocumentSession::ReadDataFile(const QString& path, bool askAgain)
{
    if (!m_fileLock.prepareOpening(path))
        return false;
    const auto unlessOpened = qScopeGuard([this] { m_fileLock.abandon(); });
    const DataFile::Sealing sealing = DataFile::sealingOf(path);
    // Asked before the password, so that nobody types one in vain.
    const std::optional<DataFile::SlowDerivation> slow = DerivationConsent(m_messages, m_captions).ask(sealing);
    if (!slow)
        return false;
    for (;;) {
        std::optional<QString> password =
            m_prompt->askPassword(path, sealing.format, PasswordPrompt::Purpose::Existing);
        if (!password)
            return false;
        // Taken before reading: a change made meanwhile is then noticed, never missed.
        const std::optional<FileIdentity> identity = FileIdentity::of(path);
        const std::optional<DataFile::Status> status =
            DataFileReader(m_messages, m_captions, m_fileWork).read(path, *password, m_document, *slow);
        if (status == DataFile::Status::Ok) {
            adoptPassword(*password);
            m_sealing = sealing;
            m_onDisk = identity;
            m_fileLock.commit();
            // Held by this program now, so no save of it can be under way elsewhere.
            if (!m_fileLock.readOnly())
                SaveLeftovers::remove(QFileInfo(path).canonicalFilePath());
            return true;
        }
        SecureWipe::wipe(*password);
        const bool wrongPassword =
            status == DataFile::Status::CannotOpen || status == DataFile::Status::InvalidPassword;
        if (!askAgain || !wrongPassword)
            return false;
    }
}

bool DocumentSession::WriteDataFile(const QString& path, const QString& password, bool backups,
                                    const DataFile::Sealing& sealing)
{
    const QScopedValueRollback busy(m_fileBusy, true);
    if (!DataFileWriter(m_messages, m_captions, m_fileWork).save(path, password, m_document, backups, sealing))
        return false;
    // Our own write is no change by another program.
    m_onDisk = FileIdentity::of(path);
    return true;
}

void DocumentSession::watchFile()
{
    m_toldAbout.reset();
    m_watch.watch(m_fileName);
}

void DocumentSession::tellConflictCopies()
{
    if (m_fileName.isEmpty())
        return;
    if (const QStringList copies = ConflictCopies::beside(m_fileName); !copies.isEmpty())
        emit news(m_captions
                      .GetCaption(QStringLiteral("StatusConflictCopy"),
                                  QStringLiteral("A sync program left a conflict copy beside the file: %1. "
                                                 "File ▸ Merge… brings it in."))
                      .arg(QFileInfo(copies.first()).fileName()));
}

bool DocumentSession::changedOnDisk() const
{
    // A file gone or turned into a folder holds nothing to lose; saving
    // says what became of it.
    return m_onDisk && QFileInfo(m_fileName).isFile() && !m_onDisk->matches(m_fileName);
}

DocumentSession::InPlace DocumentSession::diskChangeResolved(SaveElsewhere elsewhere)
{
    if (!changedOnDisk())
        return InPlace::Write;
    const QScopedValueRollback busy(m_fileBusy, true);
    using Answer = DiskChangeQuestions::BeforeSaving;
    switch (
        DiskChangeQuestions(m_messages, m_captions).askBeforeSaving(m_fileName, elsewhere == SaveElsewhere::Offered)) {
    case Answer::Merge: return mergeFromDisk() ? InPlace::Write : InPlace::Stop;
    case Answer::Overwrite: return InPlace::Write;
    case Answer::SaveAs: return saveAs() ? InPlace::Done : InPlace::Stop;
    case Answer::Cancel: break;
    }
    return InPlace::Stop;
}

bool DocumentSession::mergeFromDisk()
{
    const QScopedValueRollback busy(m_fileBusy, true);
    const std::optional<DataFile::SlowDerivation> slow =
        DerivationConsent(m_messages, m_captions).ask(DataFile::sealingOf(m_fileName));
    if (!slow)
        return false;
    const std::optional<FileIdentity> identity = FileIdentity::of(m_fileName);
    if (!FileMerge(m_messages, m_captions, m_fileWork).merge(m_fileName, m_password, *slow, m_history))
        return false;
    // The document holds all the file holds now: saving it loses nothing.
    m_onDisk = identity;
    m_toldAbout.reset();
    emit documentMerged();
    return true;
}

void DocumentSession::diskChanged()
{
    if (m_fileBusy || (m_userBusy && m_userBusy())) {
        m_watch.recheckLater();
        return;
    }
    if (m_fileName.isEmpty() || !changedOnDisk() || (m_toldAbout && m_toldAbout->matches(m_fileName)))
        return;
    const QScopedValueRollback busy(m_fileBusy, true);
    if (!m_modified) {
        reloadFromDisk();
        return;
    }
    m_toldAbout = FileIdentity::of(m_fileName);
    if (DiskChangeQuestions(m_messages, m_captions).askToMergeNow(m_fileName))
        mergeFromDisk();
}

void DocumentSession::reloadFromDisk()
{
    const std::optional<FileIdentity> identity = FileIdentity::of(m_fileName);
    DataDocument read;
    const DataFile::Status status =
        m_fileWork.run(m_captions.GetCaption(QStringLiteral("ProgressOpening"), QStringLiteral("Opening…")),
                       [&] { return DataFile::read(m_fileName, m_password, read); });
    if (status != DataFile::Status::Ok) {
        // Told once; the next save asks before it overwrites the file.
        m_toldAbout = identity;
        DiskChangeQuestions(m_messages, m_captions).tellNotReadAgain(m_fileName);
        return;
    }
    m_document.swap(read);
    m_sealing = DataFile::sealingOf(m_fileName);
    m_onDisk = identity;
    replaceDocument();
    SetModified(false);
    emit news(m_captions.GetCaption(QStringLiteral("StatusReloaded"),
                                    QStringLiteral("Read again: another program changed the file")));
}

void DocumentSession::adoptPassword(const QString& password)
{
    SecureWipe::wipe(m_password);
    m_password = password;
}

bool DocumentSession::changesSavedOrGivenUp(bool asQuestion, SaveElsewhere elsewhere)
{
    if (!m_modified)
        return true;
    QString question =
        m_captions.GetCaption(QStringLiteral("MessageSaveQuery"), QStringLiteral("Do you want to save the changes"));
    if (asQuestion)
        question += QLatin1Char('?');
    const MessageService::Answer answer =
        m_messages.show(MessageService::Kind::Confirm, question, MessageService::Buttons::YesNoCancel);
    // Unsaved work is only thrown away when the user said so or it was saved.
    return answer == MessageService::Answer::No || (answer == MessageService::Answer::Yes && saveUnless(elsewhere));
}

void DocumentSession::newDocument()
{
    if (!changesSavedOrGivenUp(false))
        return;
    m_fileName.clear();
    m_sealing = {};
    m_onDisk.reset();
    watchFile();
    m_fileLock.release();
    adoptPassword(QString());
    m_document.clear();
    replaceDocument();
    SetModified(false);
}

void DocumentSession::open()
{
    if (!changesSavedOrGivenUp(true))
        return;
    const QScopedValueRollback busy(m_fileBusy, true);
    const QString path = m_messages.openFileName(QString(), FileTypes::openFilter(m_captions),
                                                 FileTypes::suffix(formatToOffer()), folder());
    if (path.isEmpty() || !ReadDataFile(path))
        return;
    m_fileName = path;
    watchFile();
    replaceDocument();
    SetModified(false);
    tellConflictCopies();
}

void DocumentSession::OpenStartupFile(const QString& commandLineFile)
{
    QString candidate = commandLineFile;
    if (candidate.isEmpty() && m_settings.isOn(SettingKey::OpenLast)) {
        const QString lastFile = m_settings.GetSetting(SettingKey::LastFile);
        if (QFileInfo(lastFile).isFile())
            candidate = lastFile;
    }
    // A mistyped password at start-up is asked for again; Cancel leaves the
    // new empty document.
    if (!candidate.isEmpty() && ReadDataFile(candidate, true)) {
        m_fileName = candidate;
        watchFile();
        replaceDocument();
    }
    SetModified(false);
    tellConflictCopies();
}

bool DocumentSession::save()
{
    return saveUnless(SaveElsewhere::Offered);
}

bool DocumentSession::saveUnless(SaveElsewhere elsewhere)
{
    if (m_fileName.isEmpty() || !QFileInfo::exists(m_fileName) || m_fileLock.refusesSaveInPlace()) {
        if (elsewhere == SaveElsewhere::Offered)
            return saveAs();
        m_messages.show(MessageService::Kind::Error,
                        m_captions.GetCaption(QStringLiteral("MessageSaveElsewhereLocked"),
                                              QStringLiteral("The file cannot be saved in its place; unlock Zantrove "
                                                             "to save it under another name")));
        return false;
    }
    switch (diskChangeResolved(elsewhere)) {
    case InPlace::Write: break;
    case InPlace::Stop: return false;
    case InPlace::Done: return true;
    }
    if (!WriteDataFile(m_fileName, m_password, m_settings.isOn(SettingKey::Backups), m_sealing))
        return false;
    SetModified(false);
    return true;
}

bool DocumentSession::saveAs()
{
    int type = int(formatToOffer());
    const QString path = m_messages.saveFileName(QString(), FileTypes::saveFilters(m_captions), type, m_fileName, {});
    return !path.isEmpty() && saveAsWithPassword(path, DataFile::Format(type));
}

bool DocumentSession::saveAsWithPassword(const QString& path, DataFile::Format format)
{
    if (!m_fileLock.prepareWriting(path))
        return false;
    const auto unlessWritten = qScopeGuard([this] { m_fileLock.abandon(); });
    // Save as onto the open file itself writes it in place.
    if (!m_fileName.isEmpty() && QFileInfo(path) == QFileInfo(m_fileName)
        && diskChangeResolved(SaveElsewhere::Refused) != InPlace::Write)
        return false;
    const std::optional<QString> password = m_prompt->askPassword(path, format, PasswordPrompt::Purpose::New);
    if (!password)
        return false;
    // A protected file saved again under a new name keeps its cost; a file
    // newly protected costs what suits this machine.
    const bool newlyProtected = format == DataFile::Format::Protected && m_sealing.format != format;
    const DataFile::Sealing sealing{format, newlyProtected ? newFileCost() : m_sealing.cost};
    // The new file and password become current only once the file holds the
    // document, so a failed write leaves Save aimed at the file that exists.
    if (!WriteDataFile(path, *password, m_settings.isOn(SettingKey::Backups), sealing))
        return false;
    m_fileLock.commit();
    m_sealing = sealing;
    m_fileName = path;
    watchFile();
    adoptPassword(*password);
    SetModified(false);
    return true;
}

void DocumentSession::changePassword()
{
    if (!QFileInfo::exists(m_fileName) || m_fileLock.refusesSaveInPlace()
        || diskChangeResolved(SaveElsewhere::Refused) != InPlace::Write)
        return;
    // The prompt names the file whose password changes, not the last one asked about.
    const std::optional<QString> password =
        m_prompt->askPassword(m_fileName, m_sealing.format, PasswordPrompt::Purpose::Change);
    if (!password || !WriteDataFile(m_fileName, *password, false, m_sealing))
        return;
    adoptPassword(*password);
    SetModified(false);
    DataFileWriter(m_messages, m_captions, m_fileWork).passwordChanged(m_fileName);
}

bool DocumentSession::mayClose(SaveElsewhere elsewhere)
{
    if (!m_modified)
        return true;
    // A failed automatic save falls through to the question rather than
    // closing and losing the changes. A file another program changed is
    // never saved unasked: the question about it is asked once, and its
    // answer decides.
    if (QFileInfo::exists(m_fileName) && !m_fileLock.readOnly() && m_settings.isOn(SettingKey::AutoSave)) {
        if (changedOnDisk())
            return saveUnless(elsewhere);
        if (saveUnless(elsewhere))
            return true;
    }
    return changesSavedOrGivenUp(true, elsewhere);
}

void DocumentSession::mergeFile()
{
    const QScopedValueRollback busy(m_fileBusy, true);
    const QStringList copies = m_fileName.isEmpty() ? QStringList() : ConflictCopies::beside(m_fileName);
    const QString path =
        m_messages.openFileName(m_captions.GetCaption(QStringLiteral("DialogTitleMerge"), QStringLiteral("Merge")),
                                FileTypes::openFilter(m_captions), FileTypes::suffix(formatToOffer()),
                                copies.isEmpty() ? folder() : copies.first());
    if (path.isEmpty())
        return;
    const DataFile::Sealing sealing = DataFile::sealingOf(path);
    const std::optional<DataFile::SlowDerivation> slow = DerivationConsent(m_messages, m_captions).ask(sealing);
    if (!slow)
        return;
    std::optional<QString> password = m_prompt->askPassword(path, sealing.format, PasswordPrompt::Purpose::Existing);
    if (!password)
        return;
    const SecureWipe::WipeOnExit forget(*password);
    if (FileMerge(m_messages, m_captions, m_fileWork).merge(path, *password, *slow, m_history))
        emit documentMerged();
}
