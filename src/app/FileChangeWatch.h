#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

// Tells when the file at a path may have changed on disk, once the changes
// have come to rest: a sync program writes in several steps and often
// replaces the file by renaming another onto it, which ends a watch on the
// file itself, so its folder is watched as well. What changed is for the
// listener to find out; a change in the folder may concern another file.
class FileChangeWatch : public QObject {
    Q_OBJECT
public:
    // settle: how long no further change must come before changed() is said.
    explicit FileChangeWatch(std::chrono::milliseconds settle, QObject* parent = nullptr);

    void setSettling(std::chrono::milliseconds settle) { m_settle.setInterval(settle); }
    // Watches path from now on, in place of the last one; empty watches nothing.
    void watch(const QString& path);
    // Says changed() once more after the settling time, for a change that
    // could not be looked at when it was said.
    void recheckLater();

signals:
    void changed();

private:
    void noticed();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_path;
};
