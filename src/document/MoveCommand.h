#pragma once

#include "document/DocumentCommand.h"

// Moves an item with everything under it to the end of another group's items
// (drag and drop); undo returns it to the very place it came from.
class MoveCommand : public DocumentCommand {
public:
    // destination: a group, or the `data` element (or null) for the top level.
    MoveCommand(QString description, pugi::xml_node moved, pugi::xml_node destination);

    bool apply(DataDocument& document) override;
    void revert(DataDocument& document) override;
    pugi::xml_node subject() const override { return m_moved; }

private:
    pugi::xml_node m_moved;
    pugi::xml_node m_destination;
    pugi::xml_node m_oldParent;
    pugi::xml_node m_oldNext;
    bool m_made = false;
};
