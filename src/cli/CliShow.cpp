// show: a record's fields, one of them alone, or the record as JSON.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/DocumentJson.h"
#include "document/DataDocument.h"
#include "document/FieldFormats.h"
#include "document/FieldRoles.h"
#include "document/Schema.h"

namespace {

const QString Masked = QStringLiteral("********");

// The lines of a field's value in display form.
QStringList displayLines(const pugi::xml_node& field)
{
    const QString value = qText(field.text());
    const auto type = fieldTypeFromStored(qText(field.attribute("basic_type")));
    if (type == FieldType::Date)
        return {dateDisplayText(value)};
    if (type == FieldType::Time)
        return {timeDisplayText(value)};
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

int printField(CliContext& context, const pugi::xml_node& record, const QString& name)
{
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        if (qText(field.attribute("name")) != name)
            continue;
        // Asked for by name: the value as it is, for $(...).
        context.out() << context.shown(qText(field.text())) << '\n';
        return CliExit::Success;
    }
    return context.fail(CliExit::NoSuchRecord, QStringLiteral("The record has no field \"%1\"").arg(name));
}

} // namespace

int CliCommands::show(CliContext& context, QStringList args)
{
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    // A terminal may be watched over the user's shoulder; a pipe asked for the values.
    const bool showSecrets = args.removeAll(QStringLiteral("--show-secrets")) + args.removeAll(QStringLiteral("-s")) > 0
                             || !context.outIsTerminal();
    const std::optional<QString> fieldName = CliContext::takeOption(args, QStringLiteral("--field"));
    if (args.size() != 2 || (fieldName && fieldName->isEmpty()) || (fieldName && json))
        return context.usage(QStringLiteral("show takes FILE and PATH, and --json or --field NAME"));
    DataDocument document;
    pugi::xml_node record;
    if (const int code = context.openRecord(args.at(0), args.at(1), document, record))
        return code;
    if (json) {
        DocumentJson::print(context, DocumentJson::record(record));
        return CliExit::Success;
    }
    if (fieldName)
        return printField(context, record, *fieldName);
    // A multi-line value reads as indented continuation lines.
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        const QString name = qText(field.attribute("name"));
        QStringList lines = showSecrets || !FieldRoles::isHiddenField(name, qText(field.text())) ? displayLines(field)
                                                                                                 : QStringList{Masked};
        for (QString& line : lines)
            line = context.shown(line);
        context.out() << context.shown(name) << ": " << lines.join(QLatin1String("\n  ")) << '\n';
    }
    return CliExit::Success;
}
