#include "health/ExpiryDates.h"

#include "document/DataDocument.h"
#include "document/FieldFormats.h"

#include <QStringList>

#include <algorithm>

namespace ExpiryDates {

bool isExpiryFieldName(const QString& name)
{
    // Parts of names: "expir" holds Expiry, Expiration, Expires and the
    // French "expiration", "expire le".
    static const QStringList fragments = {
        "expir",        "valid until",        "valid thru",    "valid through",   "gültig bis",
        "ablauf",       "läuft ab",           "verfällt",      "verfallsdatum",   "valable jusqu",
        "valide jusqu", "fin de validité",    "срок действия", "действителен до", "действительно до",
        "действует до", "окончание действия", "истекает",      "годен до",
    };
    const QString trimmed = name.trimmed();
    return std::any_of(fragments.cbegin(), fragments.cend(),
                       [&](const QString& fragment) { return trimmed.contains(fragment, Qt::CaseInsensitive); });
}

std::optional<QDate> expiryDate(const pugi::xml_node& field)
{
    if (fieldTypeFromStored(qText(field.attribute("basic_type"))) != FieldType::Date
        || !isExpiryFieldName(qText(field.attribute("name"))))
        return std::nullopt;
    return ParseStoredDate(qText(field.text()));
}

} // namespace ExpiryDates
