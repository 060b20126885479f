#include "app/DocumentSession.h"

#include "app/DataFileReader.h"
#include "app/DataFileWriter.h"
#include "app/DerivationConsent.h"
#include "app/PasswordPrompt.h"
#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "datafile/FileTypes.h"
#include "datafile/SaveLeftovers.h"
#include "datafile/SecureWipe.h"
#include "platform/MessageService.h"

#include <QFileInfo>
#include <QScopeGuard>

DocumentSession::DocumentSession(MessageService& messages, const CaptionTable& captions,
                                 const SettingsStore& settings, LongWork& fileWork, QObject* parent)
    : QObject(parent)
    , m_messages(messages)
    , m_captions(captions)
    , m_settings(settings)
    , m_fileWork(fileWork)
    , m_fileLock(messages, captions)
{
    m_document.clear();
}

DocumentSession::~DocumentSession()
{
    SecureWipe::wipe(m_password);
}

void DocumentSession::SetModified(bool value)
{
    m_modified = value;
    emit statusChanged();
}

DataFile::Format DocumentSession::formatToOffer() const
{
    if (!m_fileName.isEmpty())
        return m_sealing.format;
    return m_settings.isOn(SettingKey::NewFilesProtected) ? DataFile::Format::Protected : DataFile::Format::Plain;
}

bool DocumentSession::ReadDataFile(const QString& path)
{
    if (!m_fileLock.prepareOpening(path))
        return false;
    const auto unlessOpened = qScopeGuard([this] { m_fileLock.abandon(); });
    const DataFile::Sealing sealing = DataFile::sealingOf(path);
    // Asked before the password, so that nobody types one in vain.
    const std::optional<DataFile::SlowDerivation> slow = DerivationConsent(m_messages, m_captions).ask(sealing);
    if (!slow)
        return false;
    const std::optional<QString> password =
        m_prompt->askPassword(path, sealing.format, PasswordPrompt::Purpose::Existing);
    if (!password || !DataFileReader(m_messages, m_captions, m_fileWork).read(path, *password, m_document, *slow))
        return false;
    adoptPassword(*password);
    m_sealing = sealing;
    m_fileLock.commit();
    // Held by this program now, so no save of it can be under way elsewhere.
    if (!m_fileLock.readOnly())
        SaveLeftovers::remove(QFileInfo(path).canonicalFilePath());
    return true;
}

bool DocumentSession::WriteDataFile(const QString& path, const QString& password, bool backups,
                                    const DataFile::Sealing& sealing)
{
    return DataFileWriter(m_messages, m_captions, m_fileWork).save(path, password, m_document, backups, sealing);
}

void DocumentSession::adoptPassword(const QString& password)
{
    SecureWipe::wipe(m_password);
    m_password = password;
}

bool DocumentSession::changesSavedOrGivenUp(bool asQuestion)
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
    return answer == MessageService::Answer::No || (answer == MessageService::Answer::Yes && save());
}

void DocumentSession::newDocument()
{
    if (!changesSavedOrGivenUp(false))
        return;
    m_fileName.clear();
    m_sealing = {};
    m_fileLock.release();
    adoptPassword(QString());
    m_document.clear();
    emit documentReplaced();
    SetModified(false);
}

void DocumentSession::open()
{
    if (!changesSavedOrGivenUp(true))
        return;
    const QString path =
        m_messages.openFileName(QString(), FileTypes::openFilter(m_captions), FileTypes::suffix(formatToOffer()));
    if (path.isEmpty() || !ReadDataFile(path))
        return;
    m_fileName = path;
    emit documentReplaced();
    SetModified(false);
}

void DocumentSession::OpenStartupFile(const QString& commandLineFile)
{
    QString candidate = commandLineFile;
    if (candidate.isEmpty() && m_settings.isOn(SettingKey::OpenLast)) {
        const QString lastFile = m_settings.GetSetting(SettingKey::LastFile);
        if (QFileInfo(lastFile).isFile())
            candidate = lastFile;
    }
    if (!candidate.isEmpty() && ReadDataFile(candidate)) {
        m_fileName = candidate;
        emit documentReplaced();
    }
    SetModified(false);
}

bool DocumentSession::save()
{
    if (m_fileName.isEmpty() || !QFileInfo::exists(m_fileName) || m_fileLock.refusesSaveInPlace())
        return saveAs();
    if (!WriteDataFile(m_fileName, m_password, m_settings.isOn(SettingKey::Backups), m_sealing))
        return false;
    SetModified(false);
    return true;
}

bool DocumentSession::saveAs()
{
    int type = int(formatToOffer());
    const QString path = m_messages.saveFileName(QString(), FileTypes::saveFilters(m_captions), type);
    return !path.isEmpty() && saveAsWithPassword(path, DataFile::Format(type));
}

bool DocumentSession::saveAsWithPassword(const QString& path, DataFile::Format format)
{
    if (!m_fileLock.prepareWriting(path))
        return false;
    const auto unlessWritten = qScopeGuard([this] { m_fileLock.abandon(); });
    const std::optional<QString> password = m_prompt->askPassword(path, format, PasswordPrompt::Purpose::New);
    if (!password)
        return false;
    // A protected file saved again under a new name keeps its cost.
    const DataFile::Sealing sealing{format,
                                    format == m_sealing.format ? m_sealing.cost : ProtectedContainer::DerivationCost{}};
    // The new file and password become current only once the file holds the
    // document, so a failed write leaves Save aimed at the file that exists.
    if (!WriteDataFile(path, *password, m_settings.isOn(SettingKey::Backups), sealing))
        return false;
    m_fileLock.commit();
    m_sealing = sealing;
    m_fileName = path;
    adoptPassword(*password);
    SetModified(false);
    return true;
}

void DocumentSession::changePassword()
{
    if (!QFileInfo::exists(m_fileName) || m_fileLock.refusesSaveInPlace())
        return;
    // The prompt names the file whose password changes, not the last one asked about.
    const std::optional<QString> password =
        m_prompt->askPassword(m_fileName, m_sealing.format, PasswordPrompt::Purpose::New);
    if (!password || !WriteDataFile(m_fileName, *password, false, m_sealing))
        return;
    adoptPassword(*password);
    SetModified(false);
    DataFileWriter(m_messages, m_captions, m_fileWork).passwordChanged(m_fileName);
}

bool DocumentSession::mayClose()
{
    if (!m_modified)
        return true;
    // A failed automatic save falls through to the question rather than
    // closing and losing the changes.
    if (QFileInfo::exists(m_fileName) && !m_fileLock.readOnly() && m_settings.isOn(SettingKey::AutoSave) && save())
        return true;
    return changesSavedOrGivenUp(true);
}
