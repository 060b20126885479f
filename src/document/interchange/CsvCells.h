#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// What the exports pack into one column's name or one cell: a field's label
// inside a column name, several fields or addresses inside a cell.
namespace CsvCells {

using Field = std::pair<QString, QString>;

// The label a column's name gives its values: 1Password 7 writes
// "number(ccnum)" on a Mac and "NAME 1: FIRST NAME" or "1: NUMBER" on
// Windows; a name that packs nothing is its own label. Empty for a
// section's heading ("SECTION 1: NAME"), whose cells caption a part of the
// item rather than hold a value. Where the dropped part made the name a
// secret's ("verification number(cvv)"), the label is named so the editor
// hides it.
QString labelOf(const QString& columnName);

// One of RoboForm's field cells: "User ID$,,,txt,jo" (RfFieldsV2, itself a
// CSV row) or "User ID$:txt:jo" (Rf_fields). A field of type "pwd" is named
// so the editor hides it. nullopt for a cell of neither shape.
std::optional<Field> roboFormField(const QString& cell);

// NordPass's custom fields: a JSON array of {"label", "type", "value"}, a
// "hidden" one named so the editor hides it. nullopt when the cell is no
// such array.
std::optional<QList<Field>> jsonFields(const QString& cell);

// NordPass's additional addresses: the texts of a JSON array that are not
// empty. nullopt when the cell is no such array.
std::optional<QStringList> jsonTexts(const QString& cell);

struct JsonItem {
    QList<Field> fields;
    QString notes;
};

// Proton Pass writes a card's or an identity's values as a JSON object in
// its note cell: its texts as fields, named as from Bitwarden's JSON; the
// fields of its lists ({"fieldName", "type", "data": {"content"}}, also
// inside sections' "sectionFields") by their names, a "hidden" one hidden;
// its "note" as the notes. nullopt when the cell is no such object.
std::optional<JsonItem> jsonItem(const QString& cell);

// Proton Pass writes a login's addresses in one cell, parted by ", ": each
// of them, or the cell alone when it is not such a list.
QStringList addresses(const QString& cell);

} // namespace CsvCells
