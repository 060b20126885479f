#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QTemporaryFile;

// A file's new content, written and synced to a temporary file in the target's
// folder, waiting to replace the target in one rename. Until commitTo
// succeeds the target is untouched; an uncommitted temporary file is removed.
class StagedFile {
public:
    StagedFile();
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool write(const QString& targetPath, const QByteArray& bytes);
    // Renames the staged content over path (which must be in the same folder).
    bool commitTo(const QString& path);
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_error;
};

// Replaces the file at path with bytes so that the file is either the old one
// or the complete new one. On failure the target is untouched, no temporary
// file remains, and error (if given) says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
