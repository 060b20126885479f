// rm: a record, or a group with everything in it, deleted.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/FileChange.h"

int CliCommands::remove(CliContext& context, QStringList args)
{
    FileChange change(context, args);
    if (args.size() != 2)
        return context.usage(QStringLiteral("rm takes FILE and PATH"));
    if (const int code = change.open(args.at(0)))
        return code;
    pugi::xml_node item;
    if (const int code = context.locate(change.document(), args.at(1), ItemPath::Kind::Either, item))
        return code;
    // The top level itself is no item and stays.
    if (!change.editing().deleteItem(item))
        return context.usage(QStringLiteral("rm takes the PATH of a record or a group"));
    return change.save();
}
