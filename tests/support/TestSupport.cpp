#include "TestSupport.h"

#include "document/Schema.h"

#include <QFile>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace TestSupport {

QStringList treeOutline(const pugi::xml_node& root)
{
    QStringList lines;
    Schema::walkTree(root, [&](const pugi::xml_node& item, int depth) {
        lines << QString(depth * 2, QLatin1Char(' ')) + Schema::itemCaption(item);
        return true;
    });
    return lines;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString programDir()
{
    return qEnvironmentVariable("ZV_PROGRAM_DIR");
}

QString sourceDir()
{
    return qEnvironmentVariable("ZV_SOURCE_DIR");
}

FileSizeLimit::FileSizeLimit(long long limitBytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previousSoft = static_cast<long long>(limit.rlim_cur);
    limit.rlim_cur = static_cast<rlim_t>(limitBytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_previousSoft);
    setrlimit(RLIMIT_FSIZE, &limit);
}

OpenFileLimit::OpenFileLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    m_previousSoft = static_cast<long long>(limit.rlim_cur);
    limit.rlim_cur = 0;
    setrlimit(RLIMIT_NOFILE, &limit);
}

OpenFileLimit::~OpenFileLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_previousSoft);
    setrlimit(RLIMIT_NOFILE, &limit);
}

void runOnSmallStack(const std::function<void()>& work, unsigned stackBytes)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    thread->setStackSize(stackBytes);
    thread->start();
    thread->wait();
}

} // namespace TestSupport
