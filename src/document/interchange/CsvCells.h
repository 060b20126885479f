#pragma once

#include <QString>

#include <optional>
#include <utility>

// What the exports pack into one column's name or one cell: a field's label
// inside a column name, several fields or addresses inside a cell.
namespace CsvCells {

using Field = std::pair<QString, QString>;

// One of RoboForm's field cells: "User ID$,,,txt,jo" (RfFieldsV2, itself a
// CSV row) or "User ID$:txt:jo" (Rf_fields). A field of type "pwd" is named
// so the editor hides it. nullopt for a cell of neither shape.
std::optional<Field> roboFormField(const QString& cell);

} // namespace CsvCells
