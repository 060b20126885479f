#pragma once

#include "document/interchange/ForeignEntries.h"

#include <QByteArray>

// The XML export of Password Safe: `passwordsafe` > `entry`, each with
// `group` (levels parted by "."), `title`, `username`, `password`, `url`,
// `notes` (line breaks written as the document's `delimiter` character) and
// other elements.
namespace PasswordSafeXml {

// Every entry into the sink under its group. `email` and other elements with
// a meaning to a person are fields, `twofactorkey` an "otp" seed; times,
// expiry, history and auto-type are counted as not carried, ids and
// policies as bookkeeping. False, with error naming the element or line, for
// text that is not such an export.
bool read(QByteArray text, EntrySink& sink, QString* error);

} // namespace PasswordSafeXml
