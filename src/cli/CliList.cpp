// list: the tree, indented, or as JSON.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/DocumentJson.h"
#include "document/DataDocument.h"

int CliCommands::list(CliContext& context, QStringList args)
{
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 1)
        return context.usage(QStringLiteral("list takes one FILE"));
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    QJsonArray items;
    ItemPath::walk(document.root(), [&](const ItemPath::Step& step) {
        if (json) {
            items.append(DocumentJson::item(step));
            return;
        }
        // The number tells namesakes apart as a path names them.
        context.out() << QString((step.captions.size() - 1) * 2, QLatin1Char(' ')) << context.shown(step.name) << '\n';
    });
    if (json)
        DocumentJson::print(context, items);
    return CliExit::Success;
}
