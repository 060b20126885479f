#pragma once

#include "editor/FieldFormats.h"

#include <QString>

#include <pugixml.hpp>

#include <optional>
#include <vector>

// The `field` elements of a record as the record editor sees them: only fields
// of one of the seven types get a row; any other child of the record is kept
// as it is.
namespace FieldElements {

// The type of a field element; nothing for other nodes and for fields whose
// `basic_type` is not one of the seven.
std::optional<FieldType> shownFieldType(const pugi::xml_node& node);

// first and its following siblings that have a shown field type, in order.
std::vector<pugi::xml_node> shownFieldsFrom(const pugi::xml_node& first);

// Gives the element exactly the attributes `name` and `basic_type`, in this
// order, and value as its text. The element keeps its place among its
// siblings, and handles to it stay valid.
void rewriteField(pugi::xml_node field, const QString& name, FieldType type, const QString& value);

} // namespace FieldElements
