#include "datafile/AtomicFile.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

StagedFile::StagedFile() = default;

StagedFile::~StagedFile() = default;

namespace {

// A symbolic link is written through, to the file it names, as editors do.
QString resolvedTarget(const QString& path)
{
    const QFileInfo file(path);
    return file.isSymLink() ? file.symLinkTarget() : path;
}

} // namespace

bool StagedFile::write(const QString& targetPath, const QByteArray& bytes)
{
    const QFileInfo target(resolvedTarget(targetPath));
    m_file = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                              + QStringLiteral(".XXXXXX"));
    if (!m_file->open()) {
        m_error = m_file->errorString();
        return false;
    }
    // The explicit flush matters: a full disk may only show when the last
    // buffered bytes go out, and that must count as a failed write.
    if (m_file->write(bytes) != bytes.size() || !m_file->flush()) {
        m_error = m_file->errorString();
        return false;
    }
    if (::fsync(m_file->handle()) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

bool StagedFile::commitTo(const QString& path)
{
    if (!m_file || !m_file->isOpen())
        return false;
    // rename() replaces an existing target in one step; the file's permissions
    // stay those of a new private file.
    if (std::rename(QFile::encodeName(m_file->fileName()).constData(), QFile::encodeName(resolvedTarget(path)).constData()) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_file->setAutoRemove(false);
    m_file.reset();
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    StagedFile staged;
    const bool written = staged.write(path, bytes) && staged.commitTo(path);
    if (!written && error)
        *error = staged.errorString();
    return written;
}
