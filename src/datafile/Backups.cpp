#include "datafile/Backups.h"

#include "datafile/SaveLeftovers.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Backups {

QString backupName(const QString& path, int number)
{
    const QFileInfo file(path);
    return file.absolutePath() + QStringLiteral("/~%1_").arg(number) + file.fileName();
}

} // namespace Backups

namespace {

constexpr int SlotCount = 3;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

enum class Slot { Free, Taken, Odd };

Slot slotState(const QString& name)
{
    struct stat status { };
    if (::lstat(encoded(name).constData(), &status) != 0)
        return errno == ENOENT ? Slot::Free : Slot::Odd;
    return S_ISREG(status.st_mode) ? Slot::Taken : Slot::Odd;
}

// A private copy under a name nobody else has, for file systems without hard
// links or files the user may not link to.
bool copyPrivately(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const int descriptor = ::open(encoded(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return false;
    QFile copy;
    bool copied = copy.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    while (copied && !source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        copied = !chunk.isEmpty() && copy.write(chunk) == chunk.size();
    }
    copied = copied && copy.flush() && ::fsync(copy.handle()) == 0;
    copy.close();
    if (!copied)
        ::unlink(encoded(to).constData());
    return copied;
}

} // namespace

PendingBackup::~PendingBackup()
{
    discard();
}

bool PendingBackup::prepare(const QString& path)
{
    for (int number = 1; number <= SlotCount && m_slot.isEmpty(); ++number) {
        const QString slot = Backups::backupName(path, number);
        switch (slotState(slot)) {
        case Slot::Free: m_slot = slot; break;
        case Slot::Taken:
            if (number == SlotCount) {
                m_slot = slot;
                m_replacesSlot = true;
            }
            break;
        case Slot::Odd:
            m_oddSlot = slot;
            m_error = QStringLiteral("%1 is not a regular file").arg(slot);
            return false;
        }
    }
    const QFileInfo file(path);
    for (int attempt = 0; attempt < 16 && m_kept.isEmpty(); ++attempt) {
        const QString candidate =
            file.absolutePath()
            + QStringLiteral("/.~%1_").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))
            + file.fileName();
        if (::link(encoded(path).constData(), encoded(candidate).constData()) == 0) {
            m_kept = candidate;
        } else if (errno != EEXIST) {
            if (copyPrivately(path, candidate))
                m_kept = candidate;
            break;
        }
    }
    if (m_kept.isEmpty()) {
        m_error = systemError();
        return false;
    }
    return true;
}

bool PendingBackup::complete()
{
    // The kept name is ours alone; opened without following links, so the
    // mode change cannot land on another file.
    const int descriptor = ::open(encoded(m_kept).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor >= 0) {
        // A file shared with others may not be ours to change; it stays as it was.
        (void)::fchmod(descriptor, S_IRUSR | S_IWUSR);
        ::close(descriptor);
    }
    const unsigned flags = m_replacesSlot ? 0 : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, encoded(m_kept).constData(), AT_FDCWD, encoded(m_slot).constData(), flags) != 0) {
        m_error = systemError();
        return false;
    }
    m_kept.clear();
    return true;
}

void PendingBackup::discard()
{
    if (!m_kept.isEmpty())
        ::unlink(encoded(m_kept).constData());
    m_kept.clear();
}

namespace Backups {

QStringList existingBackups(const QString& path)
{
    QStringList found;
    for (int number = 1; number <= SlotCount; ++number) {
        if (const QString name = backupName(path, number); slotState(name) == Slot::Taken)
            found << name;
    }
    return found;
}

QStringList removeBackups(const QString& path)
{
    QStringList removed;
    // unlink() removes a name, never what a link points to, so a name that
    // changed since it was checked cannot take another file with it.
    for (const QString& name : existingBackups(path)) {
        if (::unlink(encoded(name).constData()) == 0)
            removed << name;
    }
    // Copies left by killed saves hold the old password as much as backups do.
    return removed + SaveLeftovers::remove(path);
}

} // namespace Backups
