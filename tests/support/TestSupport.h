#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <pugixml.hpp>

// Shared helpers of the test executables.
namespace TestSupport {

QByteArray readFile(const QString& path);

// The items under root as the tree shows them, one a line, indented two spaces a level.
QStringList treeOutline(const pugi::xml_node& root);
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

// Makes every file this process opens fail (EMFILE) while it lives, as for a
// file that exists but cannot be read; the previous limit comes back on
// destruction.
class OpenFileLimit {
public:
    OpenFileLimit();
    ~OpenFileLimit();
    OpenFileLimit(const OpenFileLimit&) = delete;
    OpenFileLimit& operator=(const OpenFileLimit&) = delete;

private:
    long long m_previousSoft;
};

// Runs work to its end on a thread with only stackBytes of stack, so that code
// recursing once per level of a deep structure overflows for certain. Test
// macros belong in the caller, after the run.
void runOnSmallStack(const std::function<void()>& work, unsigned stackBytes = 256 * 1024);

} // namespace TestSupport
