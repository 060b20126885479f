#pragma once

#include <QString>
#include <QStringList>

// Up to three backups beside a data file, named "~1_", "~2_", "~3_" and the
// file's name. Once all three exist, 1 and 2 keep the oldest versions and 3
// always holds the version before the latest save.
namespace Backups {

QString backupName(const QString& path, int number);

// The backups of path that exist as regular files, oldest slot first.
QStringList existingBackups(const QString& path);
// Removes them, for instance once they hold the document under a password
// that has been changed, and what killed saves left (SaveLeftovers). Only
// regular files at exactly the backup names go; a link or a folder there is
// left alone. Returns the names removed.
QStringList removeBackups(const QString& path);

} // namespace Backups

// The backup one save makes of the file it replaces. The old file first gets a
// second, temporary name (a hard link, or a private copy where the file system
// has none), so the data file's own name is never empty during the save; once
// the new content is in place the old file moves into its backup slot.
// Backup names are never opened or written through: a slot holding anything
// but a regular file (a link, a folder) stops the save before it starts.
class PendingBackup {
public:
    PendingBackup() = default;
    ~PendingBackup();
    PendingBackup(const PendingBackup&) = delete;
    PendingBackup& operator=(const PendingBackup&) = delete;

    // Chooses the slot for the existing file at path and links it to the
    // temporary name. False, with error(), when a slot is not a regular file
    // or the file cannot be kept.
    bool prepare(const QString& path);
    // Moves the kept old file into its slot, readable by the owner alone.
    bool complete();
    QString error() const { return m_error; }
    // The backup name that stopped prepare by holding something other than
    // a regular file; empty when nothing of the kind did.
    QString oddSlot() const { return m_oddSlot; }

private:
    void discard();

    QString m_kept;
    QString m_slot;
    bool m_replacesSlot = false;
    QString m_oddSlot;
    QString m_error;
};
