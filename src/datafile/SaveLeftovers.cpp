#include "datafile/SaveLeftovers.h"

#include "datafile/DataFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A regular file of this user that begins like a data file of either format:
// what a save stages or keeps, never a file the user made under a like name.
bool isSavedCopy(const QString& path)
{
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status { };
    char start[16] = {};
    const bool ours = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid()
                      && ::read(descriptor, start, sizeof start) >= ssize_t(sizeof start);
    ::close(descriptor);
    const QByteArrayView bytes(start, sizeof start);
    return ours && (bytes.startsWith(DataFile::Magic) || bytes.startsWith(ProtectedContainer::Magic));
}

} // namespace

namespace SaveLeftovers {

QStringList remove(const QString& dataFile)
{
    const QFileInfo file(dataFile);
    const QString name = QRegularExpression::escape(file.fileName());
    // QTemporaryFile's XXXXXX become letters; digits are taken as well.
    const QRegularExpression leftover(QStringLiteral("^(\\.%1\\.[A-Za-z0-9]{6}|\\.~[0-9a-f]{8}_%1)$").arg(name));
    QStringList removed;
    const QDir folder = file.absoluteDir();
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = folder.filePath(entry);
        // unlink() takes the name, never what a link there would point to.
        if (leftover.match(entry).hasMatch() && isSavedCopy(path) && ::unlink(QFile::encodeName(path).constData()) == 0)
            removed << path;
    }
    return removed;
}

} // namespace SaveLeftovers
