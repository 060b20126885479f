#pragma once

#include <QString>

// Up to three backups beside a data file, named "~1_", "~2_", "~3_" and the
// file's name. Once all three exist, 1 and 2 keep the oldest versions and 3
// always holds the version before the latest save.
namespace Backups {

QString backupName(const QString& path, int number);

// Moves the file at path aside as the next backup. Returns where it went, or
// empty when there was no file or the move failed (silently: the save that
// follows goes on).
QString BackupDataFile(const QString& path);

} // namespace Backups
