#pragma once

#include "document/interchange/DocumentEntry.h"
#include "document/interchange/ForeignEntries.h"
#include "document/interchange/ForeignWriter.h"
#include "document/interchange/WipedOutput.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QStringList>

#include <span>

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

// "Group", "Title", "Username", "Password", "URL", "Notes", then a column for
// each of extraNames, the other strings' names as an earlier look over the
// entries found them; a row leaves a column empty that its entry has no
// string of. Entries of the root group itself have an empty group, those
// below it the names of the groups on the way joined by "/".
class Writer : public ForeignWriter {
public:
    Writer(QIODevice& device, const QStringList& extraNames);

    void beginGroup(const QString& name) override;
    void entry(const ForeignEntry& entry) override;
    // The same for a document's record, its UTF-8 written as it stands.
    void entry(const DocumentEntry& entry);
    void endGroup() override;
    bool finish() override;

private:
    void writeRow(std::span<const QByteArrayView> cells);
    void setPath();

    WipedOutput m_out;
    // Each as text and as UTF-8.
    const QStringList m_extraNames;
    QList<QByteArray> m_extraNamesUtf8;
    // Below the root group: the groups on the way to the current one.
    QStringList m_groups;
    QByteArray m_path;
    bool m_inRoot = false;
};

} // namespace CsvEntries
