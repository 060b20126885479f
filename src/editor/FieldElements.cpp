#include "editor/FieldElements.h"

#include "document/DataDocument.h"
#include "document/Schema.h"

#include <cstring>

namespace FieldElements {

std::optional<FieldType> shownFieldType(const pugi::xml_node& node)
{
    if (std::strcmp(node.name(), Schema::FieldElement) != 0)
        return std::nullopt;
    return fieldTypeFromStored(qText(node.attribute("basic_type")));
}

std::vector<pugi::xml_node> shownFieldsFrom(const pugi::xml_node& first)
{
    std::vector<pugi::xml_node> fields;
    for (pugi::xml_node node = first; node; node = node.next_sibling()) {
        if (shownFieldType(node))
            fields.push_back(node);
    }
    return fields;
}

} // namespace FieldElements
