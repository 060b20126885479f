#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Shared helpers of the test executables.
namespace TestSupport {

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

// The folder of the built program (languages, catalogue, sample, executables).
QString programDir();
// The source tree's root.
QString sourceDir();

// Makes file writes of this process fail with EFBIG beyond limitBytes while it
// lives, as a full disk would; the previous limit comes back on destruction.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long limitBytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    long long m_previousSoft;
};

} // namespace TestSupport
