#pragma once

#include "document/interchange/ForeignEntries.h"

#include <QByteArrayView>
#include <QIODevice>

// Entries as the CSV files of password managers and browsers hold them: one a
// row under a header line that names the columns.
namespace CsvEntries {

// Each layout of the common exports is told by its header line, whose
// columns are recognised by name without case (one table for every
// manager: a title, a user name, a password, an address, notes, a group
// path, a one-time-code seed, "name: value" lines, a record kind, flags and
// bookkeeping), or, for exports without a header line, by the shape of the
// first row. Any other column is a field of its name where its cell is not
// empty. The separator is ',', ';' or tab, as the header line shows; quotes
// inside values may be doubled or follow a backslash. False, with error
// naming the line, for malformed text or a header that names no known
// column.
bool read(QByteArrayView text, EntrySink& sink, QString* error);

// "Group", "Title", "Username", "Password", "URL", "Notes", then one column
// for each other string name in the order first met. Entries of root itself
// have an empty group.
// False when the device refuses to be written.
bool write(QIODevice& device, const ForeignGroup& root);

} // namespace CsvEntries
