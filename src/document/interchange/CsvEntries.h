#pragma once

#include "document/interchange/ForeignEntries.h"

#include <QByteArrayView>
#include <QIODevice>

// Entries as the CSV files of password managers and browsers hold them: one a
// row under a header line that names the columns.
namespace CsvEntries {

// Columns are recognised by their header names, without case: a title
// ("Title", "name"), a user name ("Username", "login_username", "User Name"),
// a password ("Password", "login_password"), an address ("URL", "login_uri",
// "Web Site"), notes ("Notes", "note", "extra") and a group path ("Group",
// "folder", "grouping", levels parted by "/" or "\"), the first of each
// kind where several are given. Any other column is
// an extra string of its name where its cell is not empty. False, with error naming the line, for
// malformed text.
bool read(QByteArrayView text, ForeignGroup& root, QString* error);

// "Group", "Title", "Username", "Password", "URL", "Notes", then one column
// for each other string name in the order first met. Entries of root itself
// have an empty group.
// False when the device refuses to be written.
bool write(QIODevice& device, const ForeignGroup& root);

} // namespace CsvEntries
