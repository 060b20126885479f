#pragma once

#include "document/interchange/ForeignEntries.h"

#include <QByteArray>

// Bitwarden's unencrypted JSON export: `folders` with ids and names (levels
// parted by "/"), and `items` of each type (log-in, secure note, card,
// identity, SSH key) with their custom `fields`.
namespace BitwardenJson {

// Every item into the sink in its folder: a log-in's first address, user
// name, password and notes as the usual strings, further addresses, the
// TOTP seed ("otp"), custom fields (hidden ones named as secrets) and the
// values of cards, identities and keys as fields. Items in the trash are
// left out and counted, as are password histories and times; ids, types
// and unset flags are bookkeeping. False, with error, for text that is not
// such an export or an encrypted one.
bool read(const QByteArray& text, EntrySink& sink, QString* error);

// The name a person reads for a key of an item's values: a card's
// "number" is "Card Number", others are spelt out from their camel case
// ("firstName" is "First Name").
QString spelledOut(const QString& key);

} // namespace BitwardenJson
