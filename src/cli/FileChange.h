#pragma once

#include "datafile/DataFileLock.h"
#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/DocumentHistory.h"

#include <QStringList>

#include <memory>

class CliContext;

// A data file opened to be changed and saved again, as the program changes
// and saves it: its lock held from before it is read until it is written,
// its password kept for the save, every change made through DocumentEditing,
// and the save atomic, the previous file becoming the newest backup.
class FileChange {
public:
    // Takes --no-backups out of args.
    FileChange(CliContext& context, QStringList& args);
    ~FileChange();

    // Success once path is locked and read; else the exit code, reported.
    int open(const QString& path);
    const DataDocument& document() const { return m_document; }
    DocumentEditing& editing() { return *m_editing; }
    // Writes the document when a change was made; Success or the exit code, reported.
    int save();

private:
    CliContext& m_context;
    const bool m_backups;
    QString m_path;
    QString m_password;
    DataFileLock m_lock;
    DataDocument m_document;
    DocumentHistory m_history{m_document};
    std::unique_ptr<DocumentEditing> m_editing;
};
