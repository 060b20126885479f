#pragma once

#include "document/interchange/ForeignEntries.h"

#include <QByteArray>
#include <QIODevice>

// The unencrypted XML export of KeePass 2 and compatible managers:
// `KeePassFile` > `Root` > `Group`, each `Group` with `Name`, `Entry` and
// nested `Group`, each `Entry` with `String` pairs of `Key` and `Value`.
namespace KeePassXml {

// The root group's entries and groups become root's. Title, UserName,
// Password, URL and Notes are the usual strings; any other is an extra.
// Counted as not carried: `Binary` attachments, `History` entries, custom
// icons, expiry dates and tags of entries, custom icons of groups. False,
// with error naming the element (or the line of a syntax error), for text
// that is not KeePass XML.
bool read(const QByteArray& text, ForeignGroup& root, NotCarried& notCarried, QString* error);

// The same shape, root as the root group; false when the device refuses
// to be written.
bool write(QIODevice& device, const ForeignGroup& root);

} // namespace KeePassXml
