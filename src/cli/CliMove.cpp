// mv: a record or a group moved into another group.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/FileChange.h"

int CliCommands::move(CliContext& context, QStringList args)
{
    FileChange change(context, args);
    if (args.size() != 3 || args.at(1).isEmpty() || args.at(1) == QLatin1String("/"))
        return context.usage(QStringLiteral("mv takes FILE, PATH and NEW-GROUP-PATH"));
    if (const int code = change.open(args.at(0)))
        return code;
    pugi::xml_node item;
    if (const int code = context.locate(change.document(), args.at(1), ItemPath::Kind::Either, item))
        return code;
    pugi::xml_node group;
    if (const int code = context.locate(change.document(), args.at(2), ItemPath::Kind::Group, group))
        return code;
    if (!change.editing().move(item, group))
        return context.usage(QStringLiteral("\"%1\" cannot go into \"%2\": it is there already, or that group is "
                                            "within it")
                                 .arg(args.at(1), args.at(2)));
    return change.save();
}
