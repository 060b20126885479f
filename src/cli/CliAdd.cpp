// add: a new record of a catalogue type, its fields filled from the command line.
#include "base/SecureWipe.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/FieldAssignments.h"
#include "cli/FileChange.h"
#include "datafile/GeneratorSettings.h"
#include "datafile/PasswordGenerator.h"
#include "document/Catalogue.h"
#include "document/Schema.h"

#include <QDateTime>

namespace {

// The catalogue's type named TYPE, in the chosen language, or else the
// first whose key (its icon's, such as "WEB SITE") is TYPE; either without
// regard to case.
const Catalogue::Entry* typeNamed(const Catalogue& catalogue, const QString& type)
{
    for (const Catalogue::Entry& entry : catalogue.entries())
        if (entry.name.compare(type, Qt::CaseInsensitive) == 0 && catalogue.FindTemplate(entry.name))
            return &entry;
    const qsizetype key = Schema::recordTypeKeys().indexOf(type.toUpper());
    for (const Catalogue::Entry& entry : catalogue.entries())
        if (key >= 0 && entry.icon.value == key && catalogue.FindTemplate(entry.name))
            return &entry;
    return nullptr;
}

} // namespace

int CliCommands::add(CliContext& context, QStringList args)
{
    FileChange change(context, args);
    const QString type = CliContext::takeOption(args, QStringLiteral("--type")).value_or(QString());
    const QString name = CliContext::takeOption(args, QStringLiteral("--name")).value_or(QString());
    FieldAssignments fields;
    if (const std::optional<QString> problem = fields.take(args))
        return context.usage(*problem);
    QStringList generated;
    if (!CliContext::takeRepeatedOption(args, QStringLiteral("--generate"), generated))
        return context.usage(QStringLiteral("--generate takes a field's NAME"));
    if (args.size() != 2 || type.isEmpty())
        return context.usage(QStringLiteral("add takes FILE, GROUP-PATH and --type TYPE"));

    // Known before the password is asked, so that nobody types one in vain.
    Catalogue catalogue;
    if (!catalogue.LoadCatalogue(context.catalogueFile(context.language())))
        return context.fail(CliExit::CannotRead, QString::fromLatin1(MessageConfigNotFoundText));
    const Catalogue::Entry* entry = typeNamed(catalogue, type);
    if (!entry) {
        QStringList names;
        for (const Catalogue::Entry& offered : catalogue.entries())
            names << offered.name;
        return context.usage(
            QStringLiteral("--type takes a record type's key or one of: %1").arg(names.join(QStringLiteral(", "))));
    }
    // As the program's generator last made a password for any field.
    const PasswordGenerator::Rules rules =
        GeneratorSettings::storedRules(context.settings(), PasswordGenerator::Purpose::AnyField);
    for (const QString& field : generated) {
        QString password = PasswordGenerator::generate(rules);
        fields.set(field, password);
        SecureWipe::wipe(password);
    }

    if (const int code = change.open(args.at(0)))
        return code;
    pugi::xml_node group;
    if (const int code = context.locate(change.document(), args.at(1), ItemPath::Kind::Group, group))
        return code;
    const pugi::xml_node record = change.editing().newRecord(group, catalogue.FindTemplate(entry->name), entry->name,
                                                             name, entry->icon.value, QDateTime::currentDateTime());
    if (!record || !fields.applyTo(change.editing(), record))
        return context.fail(CliExit::CannotWrite,
                            QStringLiteral("No record can be added under \"%1\"").arg(args.at(1)));
    if (const int code = change.save())
        return code;
    // The path that names it from now on.
    context.out() << context.shown(ItemPath::text(record)) << '\n';
    return CliExit::Success;
}
