#include "app/DataFileWriter.h"

#include "config/CaptionTable.h"
#include "datafile/Backups.h"
#include "platform/LongWork.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString caption(const CaptionTable& captions, const char* key, const char* englishDefault)
{
    return captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

QString reason(const CaptionTable& captions, const DataFile::SaveFailure& failure)
{
    using Reason = DataFile::SaveFailure::Reason;
    switch (failure.reason) {
    case Reason::BackupSlotNotAFile:
        return caption(captions, "MessageBackupNotAFile",
                       "%1 should hold a backup but is a link or a folder. Switch backups off in the settings, "
                       "or remove that item")
            .arg(QDir::toNativeSeparators(failure.path));
    case Reason::FolderNotWritable:
        return caption(captions, "MessageFolderNotWritable",
                       "The folder %1 does not allow creating files. Saving writes the new file beside the old one, "
                       "so the folder must allow it")
            .arg(QDir::toNativeSeparators(failure.path));
    case Reason::System: break;
    }
    return failure.systemReason;
}

} // namespace

QString saveFailureMessage(const CaptionTable& captions, const QString& path, const DataFile::SaveFailure& failure)
{
    QString text = caption(captions, "MessageNotSaved", "Can't save data file") + QLatin1Char('\n')
                   + QDir::toNativeSeparators(path);
    if (const QString why = reason(captions, failure); !why.isEmpty())
        text += QLatin1Char('\n') + why;
    return text;
}

DataFileWriter::DataFileWriter(MessageService& messages, const CaptionTable& captions, LongWork& work)
    : m_messages(messages)
    , m_captions(captions)
    , m_work(work)
{
}

bool DataFileWriter::save(const QString& path, const QString& password, const DataDocument& document, bool backups,
                          const DataFile::Sealing& sealing)
{
    DataFile::SaveFailure failure;
    if (m_work.run(caption(m_captions, "ProgressSaving", "Saving…"),
                   [&] { return DataFile::save(path, password, document, backups, failure, sealing); })
        == DataFile::Status::Ok)
        return true;
    m_messages.show(MessageService::Kind::Error, saveFailureMessage(m_captions, path, failure));
    return false;
}

void DataFileWriter::passwordChanged(const QString& dataFile)
{
    m_messages.show(MessageService::Kind::Information,
                    caption(m_captions, "PasswordMsgPasswChanged", "Password changed"));
    // Backups sit beside the file a link leads to, where the save put them.
    const QString savedFile = QFileInfo(dataFile).canonicalFilePath();
    if (savedFile.isEmpty() || Backups::existingBackups(savedFile).isEmpty())
        return;
    const QString question = caption(m_captions, "MessageRemoveOldBackups",
                                     "The backups of this file still open with the old password. Remove them")
                             + QLatin1Char('?');
    if (m_messages.show(MessageService::Kind::Confirm, question, MessageService::Buttons::YesNo)
        == MessageService::Answer::Yes)
        Backups::removeBackups(savedFile);
}
