// clip: a record's secret on the clipboard for a while, as the program copies one.
#include "base/SecureWipe.h"
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/ClipboardHelper.h"
#include "config/SettingsStore.h"
#include "document/DataDocument.h"
#include "document/FieldRoles.h"
#include "document/Schema.h"

namespace {

// The field named name, or without a name the first secret one, as Ctrl+C
// in the program copies it.
pugi::xml_node fieldToCopy(const pugi::xml_node& record, const std::optional<QString>& name)
{
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        const QString fieldName = qText(field.attribute("name"));
        if (name ? fieldName == *name : FieldRoles::isSecretFieldName(fieldName))
            return field;
    }
    return {};
}

} // namespace

int CliCommands::clip(CliContext& context, QStringList args)
{
    const std::optional<QString> timeout = CliContext::takeOption(args, QStringLiteral("--timeout"));
    bool number = true;
    const int seconds = timeout ? timeout->toInt(&number) : DefaultClipboardSeconds;
    if (!number || seconds < 0 || seconds > MaxClipboardSeconds || args.size() < 2 || args.size() > 3)
        return context.usage(
            QStringLiteral("clip takes FILE, PATH, a FIELD and --timeout 0 to %1").arg(MaxClipboardSeconds));
    // The display is reached before the password is asked, so that a
    // session without one is told so at once.
    ClipboardHelper clipboard(context.clipboardHelperFile());
    if (!clipboard.start(seconds))
        return context.fail(CliExit::NoClipboard, QStringLiteral("No clipboard: ") + clipboard.failure());
    DataDocument document;
    pugi::xml_node record;
    if (const int code = context.openRecord(args.at(0), args.at(1), document, record))
        return code;
    const std::optional<QString> name = args.size() == 3 ? std::optional(args.at(2)) : std::nullopt;
    const pugi::xml_node field = fieldToCopy(record, name);
    if (!field)
        return context.fail(CliExit::NoSuchRecord, name ? QStringLiteral("The record has no field \"%1\"").arg(*name)
                                                        : QStringLiteral("The record has no secret field"));

    QString value = qText(field.text());
    const SecureWipe::WipeOnExit wipeValue(value);
    if (!clipboard.copy(value))
        return context.fail(CliExit::NoClipboard, QStringLiteral("No clipboard: ") + clipboard.failure());
    if (seconds > 0) {
        context.report(
            QStringLiteral("\"%1\" is on the clipboard for %2 s").arg(qText(field.attribute("name"))).arg(seconds));
        context.err().flush();
    }
    // Ends when the clipboard is cleared, or when something else took its
    // place; after 0 seconds once a clipboard manager has taken it over.
    clipboard.waitUntilDone();
    return CliExit::Success;
}
