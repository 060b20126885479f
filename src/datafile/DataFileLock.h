#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps two programs from writing one data file: while a file is open, a
// hidden lock file beside it (".NAME.lock") names the process holding it.
// A lock left by a process that has ended, or from before the machine
// restarted, is taken over; a live one is never, however old it is.
class DataFileLock {
public:
    enum class Result {
        Held,          // this object holds the file's lock
        HeldElsewhere, // another process (or another lock of this one) holds it: see holder()
        NotPossible,   // no lock file can be made there (a read-only folder, an installed program folder)
        NotALockFile,  // something else has the lock file's name (a link, a pipe, a device, a folder, a
                       // large or unreadable file): it is left alone and nothing is locked
    };

    DataFileLock();
    ~DataFileLock();
    DataFileLock(DataFileLock&&) noexcept;
    DataFileLock& operator=(DataFileLock&&) noexcept;

    // Releases what this object held, then tries to lock dataFile.
    Result acquire(const QString& dataFile);
    void release();
    // Whether this object holds the lock of dataFile (the same file, by its real path).
    bool holds(const QString& dataFile) const;
    // Who holds the lock, after HeldElsewhere.
    struct Holder {
        QString program;
        qint64 pid = 0;
        QString host;
    };
    const Holder& holder() const { return m_holder; }

    static QString lockFileName(const QString& dataFile);

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_dataFile;
    Holder m_holder;
};
