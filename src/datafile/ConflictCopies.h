#pragma once

#include <QString>
#include <QStringList>

// The copies sync programs leave beside a data file when two machines
// changed it at once: NAME.sync-conflict-….zv (Syncthing) and
// NAME (conflicted copy …).zv (Dropbox, Nextcloud), with either data-file
// extension.
namespace ConflictCopies {

// The conflict copies of the file at path, newest first.
QStringList beside(const QString& path);

} // namespace ConflictCopies
