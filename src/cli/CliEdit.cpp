// edit: a record renamed, its fields set or deleted; or a group renamed.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/FieldAssignments.h"
#include "cli/FileChange.h"
#include "document/DataDocument.h"
#include "document/Schema.h"

namespace {

int deleteFields(CliContext& context, DocumentEditing& editing, const pugi::xml_node& record, const QStringList& names)
{
    for (const QString& name : names) {
        const std::vector<pugi::xml_node> fields = Schema::recordFields(record);
        const auto field = std::find_if(fields.cbegin(), fields.cend(), [&](const pugi::xml_node& candidate) {
            return qText(candidate.attribute("name")) == name;
        });
        if (field == fields.cend())
            return context.fail(CliExit::NoSuchRecord, QStringLiteral("The record has no field \"%1\"").arg(name));
        editing.deleteField(*field);
    }
    return CliExit::Success;
}

} // namespace

int CliCommands::edit(CliContext& context, QStringList args)
{
    FileChange change(context, args);
    const std::optional<QString> name = CliContext::takeOption(args, QStringLiteral("--name"));
    FieldAssignments fields;
    if (const std::optional<QString> problem = fields.take(args))
        return context.usage(*problem);
    QStringList deleted;
    if (!CliContext::takeRepeatedOption(args, QStringLiteral("--delete-field"), deleted))
        return context.usage(QStringLiteral("--delete-field takes a field's NAME"));
    if (args.size() != 2 || (!name && fields.isEmpty() && deleted.isEmpty()))
        return context.usage(QStringLiteral("edit takes FILE, PATH and --name, --field or --delete-field"));
    if (const int code = change.open(args.at(0)))
        return code;
    pugi::xml_node item;
    if (const int code = context.locate(change.document(), args.at(1), ItemPath::Kind::Either, item))
        return code;
    DocumentEditing& editing = change.editing();
    if (Schema::isGroup(item)) {
        if (!fields.isEmpty() || !deleted.isEmpty())
            return context.usage(QStringLiteral("a group has no fields: edit takes only --name for it"));
        editing.renameGroup(item, *name);
    } else {
        if (name)
            editing.renameRecord(item, *name);
        if (!fields.applyTo(editing, item))
            return context.fail(CliExit::CannotWrite, QStringLiteral("The record cannot hold more fields"));
        if (const int code = deleteFields(context, editing, item, deleted))
            return code;
    }
    return change.save();
}
