#pragma once

#include "document/interchange/ForeignEntries.h"
#include "document/interchange/ForeignWriter.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QStringList>

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

// "Group", "Title", "Username", "Password", "URL", "Notes", then a column for
// each of extraNames, the other strings' names as an earlier look over the
// entries found them; a row leaves a column empty that its entry has no
// string of. Entries of the root group itself have an empty group, those
// below it the names of the groups on the way joined by "/".
class Writer : public ForeignWriter {
public:
    Writer(QIODevice& device, QStringList extraNames);

    void beginGroup(const QString& name) override;
    void entry(const ForeignEntry& entry) override;
    void endGroup() override;
    bool finish() override;

private:
    QIODevice& m_device;
    const QStringList m_extraNames;
    // Below the root group: the groups on the way to the current one.
    QStringList m_groups;
    QString m_path;
    bool m_inRoot = false;
    bool m_written = true;
};

} // namespace CsvEntries
