#include "datafile/Backups.h"

#include <QFile>
#include <QFileInfo>

namespace Backups {

QString backupName(const QString& path, int number)
{
    const QFileInfo file(path);
    return file.absolutePath() + QStringLiteral("/~%1_").arg(number) + file.fileName();
}

QString BackupDataFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    for (int number = 1; number <= 3; ++number) {
        const QString backup = backupName(path, number);
        if (!QFileInfo::exists(backup))
            return QFile::rename(path, backup) ? backup : QString();
    }
    const QString last = backupName(path, 3);
    if (!QFile::remove(last) || !QFile::rename(path, last))
        return {};
    return last;
}

} // namespace Backups
