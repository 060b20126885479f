// merge FILE OTHER: the groups, records and fields of OTHER brought into
// FILE, which keeps its format and password.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include "app/FileMerge.h"
#include "base/SecureWipe.h"
#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "document/DocumentMerge.h"

#include <QFileInfo>

int CliCommands::merge(CliContext& context, QStringList args)
{
    if (args.size() != 2)
        return context.usage(QStringLiteral("merge takes FILE and OTHER"));
    const QString& target = args.at(0);
    const QString& source = args.at(1);
    DataFileLock lock;
    if (const int code = context.lockForWriting(target, lock))
        return code;
    DataDocument document;
    QString password;
    const SecureWipe::WipeOnExit forget(password);
    if (const int code = context.openDocument(target, document, &password))
        return code;
    DataDocument other;
    if (const int code = context.openDocument(source, other))
        return code;

    // No language is chosen here: the captions' English texts.
    const CaptionTable english;
    const QString otherName = QFileInfo(source).completeBaseName();
    DocumentMerge merge(other, [&](const QString& name) { return FileMerge::conflictName(english, name, otherName); });
    const bool changed = merge.command(QStringLiteral("merge"))->apply(document);
    if (changed) {
        QString detail;
        // As the program saves: the previous file becomes the newest backup.
        if (const int code = context.written(
                DataFile::save(target, password, document, true, &detail, DataFile::sealingOf(target)), detail))
            return code;
    }
    context.out() << context.shown(FileMerge::summaryText(english, merge.summary(), otherName)) << '\n';
    return CliExit::Success;
}
