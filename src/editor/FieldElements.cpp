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

void rewriteField(pugi::xml_node field, const QString& name, FieldType type, const QString& value)
{
    field.remove_attributes();
    DataDocument::clearContent(field);
    field.append_attribute("name").set_value(name.toUtf8().constData());
    field.append_attribute("basic_type").set_value(storedTypeName(type).toUtf8().constData());
    // No text node for an empty value, so the element is written as <field .../>.
    if (!value.isEmpty())
        field.text().set(value.toUtf8().constData());
}

} // namespace FieldElements
