#include "app/DiskChangeQuestions.h"

#include "config/CaptionTable.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QList>

DiskChangeQuestions::DiskChangeQuestions(MessageService& messages, const CaptionTable& captions)
    : m_messages(messages)
    , m_captions(captions)
{
}

QString DiskChangeQuestions::caption(const char* key, const char* englishDefault) const
{
    return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

DiskChangeQuestions::BeforeSaving DiskChangeQuestions::askBeforeSaving(const QString& path, bool saveAsOffered)
{
    using enum BeforeSaving;
    QList<BeforeSaving> answers{Merge, Overwrite, SaveAs, Cancel};
    const QStringList buttons{caption("ButtonMerge", "Merge"), caption("ButtonSaveAnyway", "Save anyway"),
                              caption("ButtonSaveAs", "Save as…"), caption("ButtonCancel", "Cancel")};
    if (!saveAsOffered)
        answers.removeOne(SaveAs);
    QStringList offered;
    for (const BeforeSaving answer : answers)
        offered << buttons.at(int(answer));
    const int chosen = m_messages.choose(
        MessageService::Kind::Warning,
        caption("MessageChangedOnDisk", "Another program has changed %1 since it was opened or last saved. Saving "
                                        "now would overwrite its changes.#10Merge brings them into the document "
                                        "first, keeping both where they differ.")
            .arg(QDir::toNativeSeparators(path)),
        offered, 0, int(answers.size()) - 1);
    return answers.value(chosen, Cancel);
}

bool DiskChangeQuestions::askToMergeNow(const QString& path)
{
    return m_messages.choose(MessageService::Kind::Confirm,
                             caption("MessageChangedWhileEditing",
                                     "Another program has changed %1, and the document has changes that are not "
                                     "saved. Merge the file's changes into the document now?")
                                 .arg(QDir::toNativeSeparators(path)),
                             {caption("ButtonMerge", "Merge"), caption("ButtonLater", "Later")}, 0, 1)
           == 0;
}

void DiskChangeQuestions::tellNotReadAgain(const QString& path)
{
    m_messages.show(MessageService::Kind::Error,
                    caption("MessageReloadFailed", "Another program has changed %1, and it no longer opens with its "
                                                   "password. The document stays as it was.")
                        .arg(QDir::toNativeSeparators(path)));
}
