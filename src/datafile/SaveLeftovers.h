#pragma once

#include <QString>
#include <QStringList>

// The hidden files a save makes beside a data file and removes once it is
// done: the new content before it takes the file's name (".NAME.XXXXXX",
// StagedFile) and the old file on its way to a backup slot
// (".~XXXXXXXX_NAME", PendingBackup). A save that is killed leaves them
// behind: full copies of the file, under its old password.
namespace SaveLeftovers {

// Removes those of dataFile that are regular files of this user beginning
// with a data file's magic; a link, a folder or a file of another kind at
// such a name stays. Only while the file's lock is held, as another save of
// it could be under way. Returns the names removed.
QStringList remove(const QString& dataFile);

} // namespace SaveLeftovers
