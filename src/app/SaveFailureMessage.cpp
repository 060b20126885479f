#include "app/SaveFailureMessage.h"

#include "config/CaptionTable.h"

#include <QDir>

namespace {

QString reason(const CaptionTable& captions, const DataFile::SaveFailure& failure)
{
    using Reason = DataFile::SaveFailure::Reason;
    switch (failure.reason) {
    case Reason::BackupSlotNotAFile:
        return captions
            .GetCaption(QStringLiteral("MessageBackupNotAFile"),
                        QStringLiteral("%1 should hold a backup but is a link or a folder. Switch backups off in "
                                       "the settings, or remove that item"))
            .arg(QDir::toNativeSeparators(failure.path));
    case Reason::FolderNotWritable:
        return captions
            .GetCaption(QStringLiteral("MessageFolderNotWritable"),
                        QStringLiteral("The folder %1 does not allow creating files. Saving writes the new file "
                                       "beside the old one, so the folder must allow it"))
            .arg(QDir::toNativeSeparators(failure.path));
    case Reason::System:
        break;
    }
    return failure.systemReason;
}

} // namespace

QString saveFailureMessage(const CaptionTable& captions, const DataFile::SaveFailure& failure)
{
    QString text = captions.GetCaption(QStringLiteral("MessageNotSaved"), QStringLiteral("Can't save data file"));
    if (const QString why = reason(captions, failure); !why.isEmpty())
        text += QLatin1Char('\n') + why;
    return text;
}
