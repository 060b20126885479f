#include "app/FileMerge.h"

#include "app/DataFileReader.h"
#include "config/CaptionTable.h"
#include "document/DocumentHistory.h"
#include "platform/MessageService.h"

#include <QFileInfo>

FileMerge::FileMerge(MessageService& messages, const CaptionTable& captions, LongWork& work)
    : m_messages(messages)
    , m_captions(captions)
    , m_work(work)
{
}

std::optional<DocumentMerge::Summary> FileMerge::merge(const QString& path, const QString& password,
                                                       DataFile::SlowDerivation slow, DocumentHistory& history)
{
    DataDocument other;
    if (DataFileReader(m_messages, m_captions, m_work).read(path, password, other, slow) != DataFile::Status::Ok)
        return std::nullopt;
    const QString otherName = QFileInfo(path).completeBaseName();
    DocumentMerge merge(other,
                        [this, &otherName](const QString& name) { return conflictName(m_captions, name, otherName); });
    history.push(merge.command(
        m_captions.GetCaption(QStringLiteral("CommandMerge"), QStringLiteral("Merge “%1”")).arg(otherName)));
    m_messages.show(MessageService::Kind::Information, summaryText(m_captions, merge.summary(), otherName));
    return merge.summary();
}

QString FileMerge::conflictName(const CaptionTable& captions, const QString& fieldName, const QString& otherName)
{
    return captions.GetCaption(QStringLiteral("MergeFieldFromOther"), QStringLiteral("%1 (from %2)"))
        .arg(fieldName, otherName);
}

QString FileMerge::summaryText(const CaptionTable& captions, const DocumentMerge::Summary& summary,
                               const QString& otherName)
{
    if (summary.addedNothing() && summary.tooDeep == 0)
        return captions
            .GetCaption(QStringLiteral("MessageMergedNothing"),
                        QStringLiteral("“%1” holds nothing that the document does not hold already."))
            .arg(otherName);
    QStringList lines{
        captions.GetCaption(QStringLiteral("MessageMerged"), QStringLiteral("Merged from “%1”.")).arg(otherName),
        captions.GetCaption(QStringLiteral("MergeGroups"), QStringLiteral("Groups added: %1")).arg(summary.groups),
        captions.GetCaption(QStringLiteral("MergeRecords"), QStringLiteral("Records added: %1")).arg(summary.records),
        captions.GetCaption(QStringLiteral("MergeFields"), QStringLiteral("Fields added: %1")).arg(summary.fields),
        captions
            .GetCaption(QStringLiteral("MergeConflicts"),
                        QStringLiteral("Values that differ, kept beside the document's own as “%1”: %2"))
            .arg(conflictName(captions, QStringLiteral("…"), otherName))
            .arg(summary.conflicts)};
    if (summary.tooDeep > 0)
        lines << captions.GetCaption(QStringLiteral("MergeTooDeep"), QStringLiteral("Left out, nested too deep: %1"))
                     .arg(summary.tooDeep);
    return lines.join(QLatin1Char('\n'));
}
