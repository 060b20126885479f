#pragma once

#include "document/DocumentCommand.h"

#include <functional>
#include <vector>

// A change that only adds: new items, fields, an import, a merge. The first
// apply runs the insertion, which reports each node it adds to the tree
// (only the outermost: what is inside one moves with it); undo sets them
// aside, last first, and redo puts each back where it was added.
class InsertionCommand : public DocumentCommand {
public:
    class Insertions {
    public:
        // node was just added to the tree; its place is taken now.
        void added(const pugi::xml_node& node);

    private:
        friend class InsertionCommand;
        struct Placed {
            pugi::xml_node node;
            pugi::xml_node parent;
            pugi::xml_node next;
        };
        std::vector<Placed> m_placed;
    };
    // Adds to the document and reports what it added; false when it could
    // not, having added nothing.
    using Insert = std::function<bool(DataDocument& document, Insertions& insertions)>;

    // shown: the item to show after undo and redo (a new field's record);
    // when null, the first node added, and after undo the place it went to.
    InsertionCommand(QString description, Insert insert, pugi::xml_node shown = {});

    bool apply(DataDocument& document) override;
    void revert(DataDocument& document) override;
    void forget(DataDocument& document) override;
    pugi::xml_node subject() const override;

private:
    Insert m_insert;
    pugi::xml_node m_shown;
    Insertions m_insertions;
    bool m_applied = false;
};
