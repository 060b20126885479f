#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QTemporaryFile;

// A file's new content, written and synced to a temporary file in the target's
// folder, waiting to replace the target in one rename. Until commit succeeds
// the target is untouched; an uncommitted temporary file is removed.
class StagedFile {
public:
    StagedFile();
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // The target is resolved once here: a symbolic link is written through,
    // to the file it names, as editors do. An existing file keeps its
    // permission bits and group; a new one is private to the user.
    bool write(const QString& targetPath, const QByteArray& bytes);
    // The file that commit replaces: the target with its links resolved.
    QString target() const { return m_target; }
    // Renames the staged content over the target and syncs its folder, so the
    // new name survives a power loss.
    bool commit();
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_target;
    QString m_error;
};

// Replaces the file at path with bytes so that the file is either the old one
// or the complete new one. On failure the target is untouched, no temporary
// file remains, and error (if given) says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
