#pragma once

#include "document/ui/TreeModel.h"

#include <pugixml.hpp>

// What the creation windows need to know of the main window's tree.
class MainTreeSelection {
public:
    virtual ~MainTreeSelection() = default;
    virtual const TTreeNodeData* selectedNode() const = 0;        // nullptr when nothing is selected
    virtual const TTreeNodeData* selectedNodeParent() const = 0;  // the selected node's parent node's data; nullptr at the top level or with no selection
    virtual pugi::xml_node dataElement() const = 0;               // the document's `data` element
    // "Create New Group" appended this group: the main window rebuilds its tree, selects the group and marks the document modified.
    virtual void groupCreated(const pugi::xml_node& folder) = 0;
};
