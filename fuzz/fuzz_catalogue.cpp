// The record-type catalogue: parsed, listed, and every listed type looked up
// again as the new record window does.
#include "FuzzCheck.h"

#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/Schema.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Which listed entries can serve as templates: all but those named `record`.
// Read from the file independently of Catalogue.
std::vector<bool> templateEntries(const QByteArray& bytes)
{
    pugi::xml_document document;
    document.load_buffer(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::vector<bool> usable;
    const pugi::xml_node level = document.first_child().first_child();
    if (level.type() != pugi::node_element)
        return usable;
    for (const pugi::xml_node& entry : level.children()) {
        if (entry.type() == pugi::node_element)
            usable.push_back(std::strcmp(entry.name(), Schema::RecordElement) != 0);
    }
    return usable;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Catalogue catalogue;
    if (!catalogue.loadFromBytes(bytes))
        return 0;
    const std::vector<bool> usable = templateEntries(bytes);
    require(usable.size() == static_cast<std::size_t>(catalogue.entries().size()), "every entry is listed");

    for (qsizetype i = 0; i < catalogue.entries().size(); ++i) {
        const Catalogue::Entry& entry = catalogue.entries().at(i);
        require(entry.icon.value >= 0 && entry.icon.value < Schema::RecordIconCount,
                "a listed type proposes an icon of the record table");
        // Choosing a listed type leads to a template of that name, unless the
        // entry is named `record` (then an earlier namesake may still serve).
        const pugi::xml_node found = catalogue.FindTemplate(entry.name);
        if (usable[static_cast<std::size_t>(i)])
            require(bool(found), "a listed type has its template");
        if (found) {
            require(std::strcmp(found.name(), Schema::RecordElement) != 0, "an entry named record is no template");
            require(qText(found.attribute("name")) == entry.name, "a template is found by its own name");
        }
    }
    return 0;
}
