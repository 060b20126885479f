#pragma once

#include "document/ui/DocumentTreeModel.h"

#include <pugixml.hpp>

// What the creation windows need to know of the main window's tree.
class MainTreeSelection {
public:
    virtual ~MainTreeSelection() = default;
    virtual const TTreeNodeData* selectedNode() const = 0; // nullptr when nothing is selected
    virtual const TTreeNodeData* selectedNodeParent()
        const = 0; // the selected node's parent node's data; nullptr at the top level or with no selection
    virtual pugi::xml_node dataElement() const = 0; // the document's `data` element
    // "Create New Group": the main window adds the group under parent (null:
    // the top level) as New Group does, shows and selects it; null when it
    // could not be added.
    virtual pugi::xml_node createGroup(const pugi::xml_node& parent, const QString& name, int iconPosition) = 0;
};
