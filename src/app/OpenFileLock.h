#pragma once

#include "datafile/DataFileLock.h"

#include <QString>

class CaptionTable;
class MessageService;

// The lock of the open data file, as the user meets it. A file that another
// program holds opens read-only when the user agrees; a read-only file is
// never written in place, and Save as never writes over a file held
// elsewhere. Each step is prepared before the file is read or written and
// takes effect only once that worked, so a failed open keeps the old lock.
// Where something other than a lock file has the lock's name, the file is
// used without a lock, after a warning.
class OpenFileLock {
public:
    OpenFileLock(MessageService& messages, const CaptionTable& captions);

    // Before reading path. False when another program holds it and the user
    // chose not to open it read-only.
    bool prepareOpening(const QString& path);
    // Before writing the document to path under a new name. False (the
    // user told who holds it) when another program holds path.
    bool prepareWriting(const QString& path);
    // The prepared read or write worked: its lock becomes the held one.
    void commit();
    // The prepared read or write did not happen: its lock is let go. Does
    // nothing after commit().
    void abandon();
    // No file is open any more.
    void release();

    // Whether the open file may only be saved under another name; says so
    // to the user when it is.
    bool refusesSaveInPlace();
    bool readOnly() const { return m_readOnly; }

private:
    // Takes path's lock into m_pending; false when another program has it,
    // with the holder kept in m_pending.
    bool claim(const QString& path);
    QString holderText() const;

    MessageService& m_messages;
    const CaptionTable& m_captions;
    DataFileLock m_held;
    DataFileLock m_pending;
    bool m_readOnly = false;
    bool m_pendingReadOnly = false;
    bool m_keepHeld = false;
};
