#include "app/OpenFileLock.h"

#include "config/CaptionTable.h"
#include "platform/MessageService.h"

OpenFileLock::OpenFileLock(MessageService& messages, const CaptionTable& captions)
    : m_messages(messages)
    , m_captions(captions)
{
}

bool OpenFileLock::claim(const QString& path)
{
    // The file this program holds already is no other program's.
    m_keepHeld = m_held.holds(path);
    if (m_keepHeld) {
        m_pending.release();
        return true;
    }
    const DataFileLock::Result result = m_pending.acquire(path);
    // Not ours to remove, and no lock of another program either.
    if (result == DataFileLock::Result::NotALockFile)
        m_messages.show(MessageService::Kind::Warning,
                        m_captions
                            .GetCaption(QStringLiteral("MessageNotALockFile"),
                                        QStringLiteral("%1#10has the name of this file's lock but is no lock file "
                                                       "(a link, a pipe or the like), so it is left alone. The file "
                                                       "is used without a lock: another program could write it "
                                                       "meanwhile."))
                            .arg(DataFileLock::lockFileName(path)));
    return result != DataFileLock::Result::HeldElsewhere;
}

QString OpenFileLock::holderText() const
{
    const DataFileLock::Holder& holder = m_pending.holder();
    if (holder.pid == 0)
        return m_captions.GetCaption(QStringLiteral("MessageFileHolderUnknown"), QStringLiteral("another program"));
    return m_captions.GetCaption(QStringLiteral("MessageFileHolder"), QStringLiteral("%1 (process %2 on %3)"))
        .arg(holder.program, QString::number(holder.pid), holder.host);
}

bool OpenFileLock::prepareOpening(const QString& path)
{
    // A lock this program holds is never a read-only one.
    m_pendingReadOnly = false;
    if (claim(path))
        return true;
    const QString question = m_captions.GetCaption(
        QStringLiteral("MessageFileInUse"),
        QStringLiteral("%1#10is open in %2.#10#10Open it read-only? Your changes can then be saved only "
                       "under another name."));
    m_pendingReadOnly = true;
    return m_messages.show(MessageService::Kind::Confirm, question.arg(path, holderText()),
                           MessageService::Buttons::YesNo)
           == MessageService::Answer::Yes;
}

bool OpenFileLock::prepareWriting(const QString& path)
{
    m_pendingReadOnly = false;
    if (claim(path))
        return true;
    const QString message =
        m_captions.GetCaption(QStringLiteral("MessageFileInUseSave"),
                              QStringLiteral("%1#10is open in %2.#10Close it there, or save under another name."));
    m_messages.show(MessageService::Kind::Error, message.arg(path, holderText()));
    return false;
}

void OpenFileLock::commit()
{
    if (!m_keepHeld)
        m_held = std::move(m_pending);
    m_readOnly = m_pendingReadOnly;
    abandon();
}

void OpenFileLock::abandon()
{
    m_pending.release();
    m_keepHeld = false;
}

void OpenFileLock::release()
{
    m_held.release();
    m_pending.release();
    m_readOnly = false;
}

bool OpenFileLock::refusesSaveInPlace()
{
    if (!m_readOnly)
        return false;
    m_messages.show(MessageService::Kind::Information,
                    m_captions.GetCaption(QStringLiteral("MessageReadOnlyFile"),
                                          QStringLiteral("This file was opened read-only, as another program "
                                                         "has it open. Save it under another name.")));
    return true;
}
