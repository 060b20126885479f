// convert: a data file's document as a new data file, in another format or under another password.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "document/DataDocument.h"

#include <QFileInfo>

int CliCommands::convert(CliContext& context, QStringList args)
{
    DataFile::Sealing sealing{DataFile::formatNamed(args.value(1)), {}};
    if (const std::optional<QString> problem = CliContext::takeCostOptions(args, sealing))
        return context.usage(*problem);
    if (args.size() != 2)
        return context.usage(QStringLiteral("convert takes SOURCE and DEST"));
    if (const QFileInfo existing(args.at(1)); existing.exists() || existing.isSymLink())
        return context.targetExists(args.at(1));
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    return context.createFile(args.at(1), document, sealing);
}
