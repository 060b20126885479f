#pragma once

#include "document/FieldFormats.h"

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

} // namespace FieldElements
