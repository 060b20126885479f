#pragma once

#include <pugixml.hpp>

#include <vector>

// Freshly parsed content brought into the shape the rest of the program
// relies on and that reads back the same after a save. A file the program
// wrote needs nothing changed; others may hold text in odd places:
// - text that parsing kept in an element goes back into a node of its own when
//   the element holds more than text, or may later (a group or record gains
//   children), so "the first child node" means what it says;
// - CDATA sections become plain text of the same value, so the writer only
//   ever meets line breaks in escaped text;
// - adjacent pieces of text become one; a piece written as bare whitespace
//   beside elements, an empty one and any outside every element are dropped,
//   as reading them back would drop them;
// - character references to no character become U+FFFD.
namespace ParsedContent {

// What one walk over the content finds: how deep its elements nest (the
// children of the walk's root at level 1) and the nodes normalise() changes.
struct Survey {
    int levels = 0;
    std::vector<pugi::xml_node> sections;
    std::vector<pugi::xml_node> textHolders;
    std::vector<pugi::xml_node> textParents;
};

// Walks everything under root once. With repairReferences (the text held
// character references) the values are repaired on the way.
Survey survey(pugi::xml_node root, bool repairReferences);
void normalise(Survey& survey);

} // namespace ParsedContent
