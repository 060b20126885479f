#include "base/StagedFile.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

StagedFile::StagedFile(Mode mode)
    : m_mode(mode)
{
}

StagedFile::~StagedFile() = default;

namespace {

QString resolvedTarget(const QString& path)
{
    const QFileInfo file(path);
    QString canonical = file.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // A link to a file not made yet: the new file goes where it points.
    return file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// What a file shared with a group needs to stay shared; a failure leaves the
// new file private, which is safe.
void adoptModeAndGroup(int descriptor, const QString& existing)
{
    struct stat status { };
    if (::stat(QFile::encodeName(existing).constData(), &status) != 0)
        return;
    // The group's bits only once the file has the group: under another group
    // they would share it with the wrong people.
    if (::fchown(descriptor, static_cast<uid_t>(-1), status.st_gid) == 0)
        (void)::fchmod(descriptor, status.st_mode & 0777);
}

bool writeAll(int descriptor, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), size_t(bytes.size()));
        if (written > 0)
            bytes = bytes.sliced(written);
        else if (written == 0 || errno != EINTR)
            return false;
    }
    return true;
}

bool syncFolder(const QString& folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

} // namespace

bool StagedFile::open(const QString& targetPath)
{
    m_target = m_mode == Mode::Replace ? resolvedTarget(targetPath) : QFileInfo(targetPath).absoluteFilePath();
    const QFileInfo target(m_target);
    m_file = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                              + QStringLiteral(".XXXXXX"));
    if (!m_file->open()) {
        m_error = m_file->errorString();
        return false;
    }
    if (m_mode == Mode::Replace)
        adoptModeAndGroup(m_file->handle(), m_target);
    return true;
}

bool StagedFile::write(const QString& targetPath, const QByteArray& bytes)
{
    if (!open(targetPath))
        return false;
    // Straight to the descriptor: a write that a full disk cuts short then
    // fails with the system's reason, which Qt's buffered write loses.
    if (!writeAll(m_file->handle(), bytes) || ::fsync(m_file->handle()) != 0) {
        m_error = systemError();
        return false;
    }
    return true;
}

bool StagedFile::write(const QString& targetPath, QByteArray& bytes, const Preparation& prepare)
{
    if (!open(targetPath))
        return false;
    constexpr qsizetype PartSize = 4 * 1024 * 1024;
    const int descriptor = m_file->handle();
    char* const data = bytes.data();
    // The system's reason for a failed write, from the thread that wrote.
    const auto writePart = [descriptor](QByteArrayView part) {
        return writeAll(descriptor, part) ? 0 : errno != 0 ? errno : EIO;
    };
    // The last part, and a small file's only one, is written here.
    std::future<int> writing;
    int failure = 0;
    for (qsizetype offset = 0; offset < bytes.size() && failure == 0; offset += PartSize) {
        const QByteArrayView part(data + offset, std::min(PartSize, bytes.size() - offset));
        prepare(offset, data + offset, part.size());
        if (writing.valid())
            failure = writing.get();
        if (failure == 0 && offset + part.size() == bytes.size())
            failure = writePart(part);
        else if (failure == 0)
            writing = std::async(std::launch::async, writePart, part);
    }
    if (failure == 0 && ::fsync(descriptor) != 0)
        failure = errno;
    if (failure != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    return true;
}

bool StagedFile::commit()
{
    if (!m_file || !m_file->isOpen())
        return false;
    if (!moveIntoPlace()) {
        m_targetTaken = errno == EEXIST;
        m_error = systemError();
        return false;
    }
    m_file.reset();
    // The content is in place; a folder that cannot be synced only weakens
    // the guarantee against a power loss, it does not undo the save.
    syncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

bool StagedFile::moveIntoPlace()
{
    const QByteArray staged = QFile::encodeName(m_file->fileName());
    const QByteArray target = QFile::encodeName(m_target);
    if (m_mode != Mode::CreateNew) {
        // rename() replaces an existing target in one step.
        if (std::rename(staged.constData(), target.constData()) != 0)
            return false;
        m_file->setAutoRemove(false);
        return true;
    }
    // Neither call follows a link at the target name or replaces anything
    // that appeared there since it was last looked at.
    if (::renameat2(AT_FDCWD, staged.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
        m_file->setAutoRemove(false);
        return true;
    }
    // File systems without the flag still make hard links; the staged name
    // goes with the temporary file.
    return errno == EINVAL && ::linkat(AT_FDCWD, staged.constData(), AT_FDCWD, target.constData(), 0) == 0;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    StagedFile staged;
    const bool written = staged.write(path, bytes) && staged.commit();
    if (!written && error)
        *error = staged.errorString();
    return written;
}
