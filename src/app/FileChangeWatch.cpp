#include "app/FileChangeWatch.h"

#include <QFileInfo>

FileChangeWatch::FileChangeWatch(std::chrono::milliseconds settle, QObject* parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settle);
    connect(&m_settle, &QTimer::timeout, this, &FileChangeWatch::changed);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileChangeWatch::noticed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileChangeWatch::noticed);
}

void FileChangeWatch::watch(const QString& path)
{
    m_settle.stop();
    if (const QStringList watched = m_watcher.files() + m_watcher.directories(); !watched.isEmpty())
        m_watcher.removePaths(watched);
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (m_path.isEmpty())
        return;
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    m_watcher.addPath(m_path);
}

void FileChangeWatch::recheckLater()
{
    m_settle.start();
}

void FileChangeWatch::noticed()
{
    // A file replaced by rename is another file: the watch goes to the new one.
    if (!m_path.isEmpty() && !m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
    m_settle.start();
}
