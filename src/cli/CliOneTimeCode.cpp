// The command that prints a record's current one-time code: totp.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include "document/DataDocument.h"
#include "document/FieldRoles.h"
#include "document/OneTimeCode.h"
#include "document/Schema.h"

int CliCommands::totp(CliContext& context, QStringList args)
{
    const bool secondsLeft = args.removeAll(QStringLiteral("--seconds-left")) > 0;
    if (args.size() != 2)
        return context.usage(QStringLiteral("totp takes FILE and PATH"));
    DataDocument document;
    pugi::xml_node record;
    if (const int code = context.openRecord(args.at(0), args.at(1), document, record))
        return code;
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        const QString value = qText(field.text());
        if (!FieldRoles::isOneTimeCodeField(qText(field.attribute("name")), value))
            continue;
        const std::optional<OneTimeCode> generator = OneTimeCode::fromText(value);
        if (!generator)
            return context.fail(CliExit::NoSuchRecord,
                                QStringLiteral("The one-time code field \"%1\" holds no usable seed")
                                    .arg(context.shown(qText(field.attribute("name")))));
        const qint64 now = systemUnixClock()();
        context.out() << generator->codeAt(now) << '\n';
        if (secondsLeft)
            context.out() << generator->secondsLeftAt(now) << '\n';
        return CliExit::Success;
    }
    return context.fail(CliExit::NoSuchRecord,
                        QStringLiteral("The record \"%1\" has no one-time code").arg(context.shown(args.at(1))));
}
