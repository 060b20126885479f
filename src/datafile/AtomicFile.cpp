#include "datafile/AtomicFile.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

StagedFile::StagedFile() = default;

StagedFile::~StagedFile() = default;

namespace {

QString resolvedTarget(const QString& path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
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
    struct stat status {};
    if (::stat(QFile::encodeName(existing).constData(), &status) != 0)
        return;
    (void)::fchown(descriptor, static_cast<uid_t>(-1), status.st_gid);
    (void)::fchmod(descriptor, status.st_mode & 0777);
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

bool StagedFile::write(const QString& targetPath, const QByteArray& bytes)
{
    m_target = resolvedTarget(targetPath);
    const QFileInfo target(m_target);
    m_file = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                              + QStringLiteral(".XXXXXX"));
    if (!m_file->open()) {
        m_error = m_file->errorString();
        return false;
    }
    adoptModeAndGroup(m_file->handle(), m_target);
    // The explicit flush matters: a full disk may only show when the last
    // buffered bytes go out, and that must count as a failed write.
    if (m_file->write(bytes) != bytes.size() || !m_file->flush()) {
        m_error = m_file->errorString();
        return false;
    }
    if (::fsync(m_file->handle()) != 0) {
        m_error = systemError();
        return false;
    }
    return true;
}

bool StagedFile::commit()
{
    if (!m_file || !m_file->isOpen())
        return false;
    // rename() replaces an existing target in one step.
    if (std::rename(QFile::encodeName(m_file->fileName()).constData(), QFile::encodeName(m_target).constData()) != 0) {
        m_error = systemError();
        return false;
    }
    m_file->setAutoRemove(false);
    m_file.reset();
    // The content is in place; a folder that cannot be synced only weakens
    // the guarantee against a power loss, it does not undo the save.
    syncFolder(QFileInfo(m_target).absolutePath());
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    StagedFile staged;
    const bool written = staged.write(path, bytes) && staged.commit();
    if (!written && error)
        *error = staged.errorString();
    return written;
}
