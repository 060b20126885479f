#include "datafile/AtomicFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // Overwrite through a symbolic link's target rather than replacing the link.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // The explicit flush matters: commit() renames even when flushing the last
    // buffered bytes fails (a full disk), which would replace the file with a
    // truncated one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
