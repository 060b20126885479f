#include "cli/FileChange.h"

#include "base/SecureWipe.h"
#include "cli/CliContext.h"

FileChange::FileChange(CliContext& context, QStringList& args)
    : m_context(context)
    , m_backups(args.removeAll(QStringLiteral("--no-backups")) == 0)
{
}

FileChange::~FileChange()
{
    SecureWipe::wipe(m_password);
}

int FileChange::open(const QString& path)
{
    m_path = path;
    if (const int code = m_context.lockForWriting(path, m_lock))
        return code;
    if (const int code = m_context.openDocument(path, m_document, &m_password))
        return code;
    m_editing = std::make_unique<DocumentEditing>(m_document, m_history, m_context.captions());
    return CliExit::Success;
}

int FileChange::save()
{
    if (!m_history.canUndo())
        return CliExit::Success;
    QString detail;
    return m_context.written(
        DataFile::save(m_path, m_password, m_document, m_backups, &detail, DataFile::sealingOf(m_path)), detail);
}
