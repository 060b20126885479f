#pragma once

#include <QString>

#include <pugixml.hpp>

class CaptionTable;

namespace DeletionQuestion {

// What Delete asks before an item goes: the record by its caption, or the
// group by its name with the number of records it takes with it, counted at
// every depth. With the question mark, and a line saying that Undo brings
// the item back.
QString text(const CaptionTable& captions, const pugi::xml_node& item);

} // namespace DeletionQuestion
