#include "BenchDocument.h"

#include "document/DataDocument.h"
#include "document/Schema.h"

#include <string>

namespace {

void addField(pugi::xml_node record, const char* name, const char* type, const std::string& value)
{
    pugi::xml_node field = record.append_child(Schema::FieldElement);
    field.append_attribute("name") = name;
    field.append_attribute("basic_type") = type;
    field.text() = value.c_str();
}

void addRecord(pugi::xml_node parent, int n)
{
    const std::string id = std::to_string(n);
    pugi::xml_node record = parent.append_child(Schema::RecordElement);
    record.append_attribute("parent_type") = "Web Site";
    record.append_attribute("type") = "WEB SITE";
    pugi::xml_node label = record.append_child(Schema::LabelElement);
    label.append_attribute("link") = "URL";
    label.append_attribute("link2") = "Login";
    addField(record, "URL", "TEXT", "https://example" + id + ".com");
    addField(record, "Login", "TEXT", "user" + id);
    addField(record, "Password", "TEXT", "pw-" + id);
    addField(record, "Since", "DATE", "20240502:");
}

} // namespace

void fillBenchDocument(DataDocument& document, int recordCount)
{
    document.clear();
    pugi::xml_node root = document.root();
    constexpr int RecordsPerGroup = 100;
    constexpr int SubgroupsPerGroup = 10;
    pugi::xml_node top;
    pugi::xml_node group;
    for (int n = 0; n < recordCount; ++n) {
        if (n % (RecordsPerGroup * SubgroupsPerGroup) == 0) {
            top = root.append_child(Schema::GroupElement);
            top.append_attribute("name") = ("Group " + std::to_string(n)).c_str();
            top.append_attribute("type") = "BUSINESS";
        }
        if (n % RecordsPerGroup == 0) {
            group = top.append_child(Schema::GroupElement);
            group.append_attribute("name") = ("Subgroup " + std::to_string(n)).c_str();
            group.append_attribute("type") = "OFFICE";
        }
        addRecord(group, n);
    }
}
