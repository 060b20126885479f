#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QTemporaryFile;

// A file's new content, written and synced to a temporary file in the target's
// folder, waiting to replace the target in one rename. Until commit succeeds
// the target is untouched; an uncommitted temporary file is removed.
class StagedFile {
public:
    enum class Mode {
        Replace,        // the target, if any, is replaced
        ReplacePrivate, // a new file private to the user in place of whatever has the name: a
                        // link there is replaced itself, never written through
        CreateNew,      // the target name must be free: nothing there, not even a link
    };

    explicit StagedFile(Mode mode = Mode::Replace);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // With Replace, the target is resolved once here: a symbolic link is
    // written through, to the file it names, as editors do, and an existing
    // file keeps its permission bits and group. A new file is private to the
    // user; the target name itself is never opened.
    bool write(const QString& targetPath, const QByteArray& bytes);
    // Changes the part of bytes at offset in place just before it is written.
    using Preparation = std::function<void(qsizetype offset, char* part, qsizetype size)>;
    // The same, each part of bytes prepared in turn (enciphered) while the
    // part before is written: a large file takes about as long to hand to
    // the system as to prepare. When the write fails, the parts not reached
    // are left as they were.
    bool write(const QString& targetPath, QByteArray& bytes, const Preparation& prepare);
    // The name that commit replaces: with Replace, the target with its links resolved.
    QString target() const { return m_target; }
    // Renames the staged content over the target and syncs its folder, so the
    // new name survives a power loss. A new file only takes a name that is
    // still free at that moment; otherwise commit fails with targetTaken().
    bool commit();
    QString errorString() const { return m_error; }
    bool targetTaken() const { return m_targetTaken; }

private:
    bool open(const QString& targetPath);
    bool moveIntoPlace();

    Mode m_mode;
    bool m_targetTaken = false;
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_target;
    QString m_error;
};

// Replaces the file at path with bytes so that the file is either the old one
// or the complete new one. On failure the target is untouched, no temporary
// file remains, and error (if given) says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
