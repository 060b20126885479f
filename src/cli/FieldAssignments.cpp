#include "cli/FieldAssignments.h"

#include "base/SecureWipe.h"
#include "cli/CliContext.h"
#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"

#include <QDateTime>

namespace {

pugi::xml_node fieldNamed(const pugi::xml_node& record, const QString& name)
{
    for (const pugi::xml_node& field : Schema::recordFields(record))
        if (qText(field.attribute("name")) == name)
            return field;
    return {};
}

} // namespace

FieldAssignments::~FieldAssignments()
{
    // The values may be passwords.
    for (auto& [name, value] : m_values)
        SecureWipe::wipe(value);
}

std::optional<QString> FieldAssignments::take(QStringList& args)
{
    QStringList given;
    if (!CliContext::takeRepeatedOption(args, QStringLiteral("--field"), given))
        return QStringLiteral("--field takes NAME=VALUE");
    for (const QString& assignment : given) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return QStringLiteral("--field takes NAME=VALUE, not \"%1\"").arg(assignment);
        set(assignment.left(equals), assignment.mid(equals + 1));
    }
    return std::nullopt;
}

void FieldAssignments::set(const QString& name, const QString& value)
{
    m_values.append({name, value});
}

bool FieldAssignments::applyTo(DocumentEditing& editing, const pugi::xml_node& record) const
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const auto& [name, value] : m_values) {
        const pugi::xml_node field = fieldNamed(record, name);
        const bool done = field ? editing.editField(field, name, qText(field.attribute("basic_type")), value, false)
                                : bool(editing.newField(record, name, storedTypeName(FieldType::Text), now, value));
        if (!done)
            return false;
    }
    return true;
}
