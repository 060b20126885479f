#include "document/MoveCommand.h"

#include "document/DataDocument.h"
#include "document/TreeEditing.h"

#include <utility>

MoveCommand::MoveCommand(QString description, pugi::xml_node moved, pugi::xml_node destination)
    : DocumentCommand(std::move(description))
    , m_moved(moved)
    , m_destination(destination)
    , m_oldParent(moved.parent())
    , m_oldNext(moved.next_sibling())
{
}

bool MoveCommand::apply(DataDocument& document)
{
    if (m_made) {
        // The document is as the first move found it, so the same end is free.
        document.putBack(m_moved, m_destination, {});
        return true;
    }
    if (!TreeEditing::moveElement(m_moved, m_destination))
        return false;
    // Null stood for the top level; from here on the parent it went to.
    m_destination = m_moved.parent();
    m_made = true;
    return true;
}

void MoveCommand::revert(DataDocument& document)
{
    document.putBack(m_moved, m_oldParent, m_oldNext);
}
