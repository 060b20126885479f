#include "document/RemovalCommand.h"

#include "document/DataDocument.h"

#include <utility>

RemovalCommand::RemovalCommand(QString description, pugi::xml_node removed, pugi::xml_node shown)
    : DocumentCommand(std::move(description))
    , m_removed(removed)
    , m_shown(shown)
    , m_parent(removed.parent())
    , m_next(removed.next_sibling())
{
}

bool RemovalCommand::apply(DataDocument& document)
{
    if (!m_parent)
        return false;
    document.setAside(m_removed);
    m_applied = true;
    return true;
}

void RemovalCommand::revert(DataDocument& document)
{
    document.putBack(m_removed, m_parent, m_next);
    m_applied = false;
}

pugi::xml_node RemovalCommand::subject() const
{
    if (m_shown)
        return m_shown;
    return m_applied ? m_parent : m_removed;
}
