#pragma once

#include <QDate>
#include <QString>

#include <pugixml.hpp>

#include <optional>

// Date fields that say when something stops being valid: a card, a passport,
// a licence. Told by the field's name in every shipped language.
namespace ExpiryDates {

// "Expiry", "Expiration date", "Valid until", "Gültig bis", "Ablaufdatum",
// "Date d'expiration", "Valable jusqu'au", "Срок действия", ... without case.
bool isExpiryFieldName(const QString& name);

// The date of field when it is a Date field with such a name and a real date.
std::optional<QDate> expiryDate(const pugi::xml_node& field);

} // namespace ExpiryDates
