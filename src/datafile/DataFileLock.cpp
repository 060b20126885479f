#include "datafile/DataFileLock.h"

#include "config/ProgramPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A lock file holds three short lines and two ids; anything larger is no lock file.
constexpr qint64 MaxLockFileSize = 4096;

enum class Found { Nothing, LockFile, Odd };

// What has the lock file's name, looked at without following a link or
// waiting on a pipe, and reading no more than a lock file holds; holder is
// set for a lock file. The lock itself is QLockFile's, which reads the file
// unguarded: it is only let near one that passed here.
Found inspect(const QString& name, DataFileLock::Holder& holder)
{
    const QByteArray encoded = QFile::encodeName(name);
    struct stat status { };
    // A name that cannot even be looked at is for QLockFile to fail on.
    if (::lstat(encoded.constData(), &status) != 0)
        return Found::Nothing;
    const int descriptor = ::open(encoded.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return Found::Odd;
    QByteArray content;
    // Looked at again through the descriptor: the name may have changed hands since.
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= MaxLockFileSize) {
        content.resize(MaxLockFileSize);
        const ssize_t size = ::read(descriptor, content.data(), size_t(content.size()));
        content.resize(size > 0 ? size : 0);
    }
    ::close(descriptor);
    const QList<QByteArray> lines = content.split('\n');
    bool number = false;
    const qint64 pid = lines.value(0).toLongLong(&number);
    if (lines.size() < 3 || !number || pid <= 0)
        return Found::Odd;
    holder = {QString::fromUtf8(lines.at(1)), pid, QString::fromUtf8(lines.at(2))};
    return Found::LockFile;
}

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
    const QString name = lockFileName(dataFile);
    // QLockFile keeps a second file while it removes a stale lock.
    for (const QString& used : {name, name + QStringLiteral(".rmlock")}) {
        Holder found;
        if (inspect(used, found) == Found::Odd)
            return Result::NotALockFile;
        if (used == name)
            m_holder = found;
    }
    auto lock = std::make_unique<QLockFile>(name);
    // A data file stays open for hours: only a dead holder makes a lock stale, never its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        m_dataFile = realPath(dataFile);
        m_holder = {};
        return Result::Held;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        m_holder = {};
        return Result::NotPossible;
    }
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
