#pragma once

#include "search/ItemMatcher.h"

#include <pugixml.hpp>

// Where the last search stopped. The main window keeps it between searches and
// maps items to tree nodes one to one.
struct SearchPosition {
    pugi::xml_node hitNode;  // the item of the last hit; Find Next first sets it to the selected item
    pugi::xml_node hitField; // null after a caption hit or a search without a hit
    int fieldCounter =
        -1; // position of hitField among the record's children after the label, from 1; -1 after a caption hit
    bool captionDone = false; // hitNode's caption is not tested again
    bool exhausted = false;   // nothing more was found; Find Next reports at once
};

// Find and Find Next over the groups and records in tree order: each item's
// caption, then, for a record, its fields. The document is only read.
class TreeSearch {
public:
    // Remembers options as the search that Find Next repeats, then searches from
    // the first item. False when the document has no items (nothing else
    // happens) or when nothing matched (exhausted is then set).
    bool SearchFromTop(const pugi::xml_node& dataRoot, const SearchOptions& options);

    // The remembered search, going on from position().hitNode, which the caller
    // sets to the selected item first: after the remembered hit field when it
    // lies in that item's record, else with the item's caption unless it is
    // done, then its fields, then the items below it. Once exhausted it reports
    // false at once without searching. A null hitNode finds nothing.
    bool SearchBelow(const pugi::xml_node& dataRoot);

    // The user selected an item by hand: Find Next goes on from it without
    // testing its caption again.
    void itemSelected();
    void clearExhausted();

    SearchPosition& position() { return m_position; }
    const SearchPosition& position() const { return m_position; }
    const SearchOptions& remembered() const { return m_remembered; }

private:
    bool searchItemsFrom(const ItemMatcher& matcher, pugi::xml_node item);
    bool searchFields(const ItemMatcher& matcher, const pugi::xml_node& record, int firstCounter);
    bool continuesInHitRecord() const;
    bool nothingFound();

    SearchPosition m_position;
    SearchOptions m_remembered;
    // The record of the last field hit. Compared by identity only: the field
    // element itself may have been deleted since, so it is never read again.
    pugi::xml_node m_fieldHitRecord;
};
