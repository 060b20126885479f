#pragma once

#include "document/DocumentCommand.h"

// Takes an item or a field out of the tree. It is set aside, not dropped, so
// undo puts the very same element back where it stood.
class RemovalCommand : public DocumentCommand {
public:
    // shown: the item to show after undo and redo (a field's record); when
    // null, the removed item after undo and its parent after redo.
    RemovalCommand(QString description, pugi::xml_node removed, pugi::xml_node shown = {});

    bool apply(DataDocument& document) override;
    void revert(DataDocument& document) override;
    pugi::xml_node subject() const override;

private:
    pugi::xml_node m_removed;
    pugi::xml_node m_shown;
    pugi::xml_node m_parent;
    pugi::xml_node m_next;
    bool m_applied = false;
};
