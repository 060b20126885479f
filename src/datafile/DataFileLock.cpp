#include "datafile/DataFileLock.h"

#include "config/ProgramPaths.h"

#include <QFileInfo>
#include <QLockFile>

namespace {

// The real path, so a file opened through a link and by its own name share one lock.
QString realPath(const QString& dataFile)
{
    const QFileInfo info(dataFile);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

DataFileLock::DataFileLock() = default;
DataFileLock::~DataFileLock() = default;
DataFileLock::DataFileLock(DataFileLock&&) noexcept = default;
DataFileLock& DataFileLock::operator=(DataFileLock&&) noexcept = default;

QString DataFileLock::lockFileName(const QString& dataFile)
{
    const QFileInfo info(realPath(dataFile));
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

DataFileLock::Result DataFileLock::acquire(const QString& dataFile)
{
    release();
    // The sample file in an installed program folder: even root leaves the
    // package's folder as it was shipped.
    if (ProgramPaths(realPath(dataFile)).isInstalled())
        return Result::NotPossible;
    auto lock = std::make_unique<QLockFile>(lockFileName(dataFile));
    // A data file stays open for hours: only a dead holder makes a lock stale, never its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        m_dataFile = realPath(dataFile);
        return Result::Held;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return Result::NotPossible;
    if (!lock->getLockInfo(&m_holder.pid, &m_holder.host, &m_holder.program))
        m_holder = {};
    return Result::HeldElsewhere;
}

void DataFileLock::release()
{
    m_lock.reset();
    m_dataFile.clear();
    m_holder = {};
}

bool DataFileLock::holds(const QString& dataFile) const
{
    return m_lock && m_dataFile == realPath(dataFile);
}
