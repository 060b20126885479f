// mkdir: a new group.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/FileChange.h"
#include "document/Schema.h"

int CliCommands::makeGroup(CliContext& context, QStringList args)
{
    FileChange change(context, args);
    const std::optional<QString> type = CliContext::takeOption(args, QStringLiteral("--type"));
    const qsizetype icon = type ? Schema::groupTypeKeys().indexOf(type->toUpper()) : Schema::DefaultGroupIcon;
    if (icon < 0)
        return context.usage(
            QStringLiteral("--type takes one of %1").arg(Schema::groupTypeKeys().join(QStringLiteral(", "))));
    const QString path = args.value(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (args.size() != 2 || name.isEmpty())
        return context.usage(QStringLiteral("mkdir takes FILE and GROUP-PATH"));
    if (const int code = change.open(args.at(0)))
        return code;
    pugi::xml_node parent;
    if (const int code =
            context.locate(change.document(), path.left(std::max<qsizetype>(slash, 0)), ItemPath::Kind::Group, parent))
        return code;
    for (const pugi::xml_node& sibling : Schema::treeChildren(parent))
        if (Schema::isGroup(sibling) && Schema::itemCaption(sibling) == name)
            return context.fail(CliExit::TargetExists, QStringLiteral("The group \"%1\" exists already").arg(path));
    const pugi::xml_node group = change.editing().newGroup(parent, name, int(icon));
    if (!group)
        return context.fail(CliExit::CannotWrite, QStringLiteral("No group can be added under \"%1\"").arg(path));
    if (const int code = change.save())
        return code;
    context.out() << context.shown(ItemPath::text(group)) << '\n';
    return CliExit::Success;
}
