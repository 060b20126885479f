#include "document/InsertionCommand.h"

#include "document/DataDocument.h"

#include <utility>

void InsertionCommand::Insertions::added(const pugi::xml_node& node)
{
    m_placed.push_back({node, node.parent(), node.next_sibling()});
}

InsertionCommand::InsertionCommand(QString description, Insert insert, pugi::xml_node shown)
    : DocumentCommand(std::move(description))
    , m_insert(std::move(insert))
    , m_shown(shown)
{
}

bool InsertionCommand::apply(DataDocument& document)
{
    if (m_insert) {
        const Insert insert = std::exchange(m_insert, nullptr);
        m_applied = insert(document, m_insertions) && !m_insertions.m_placed.empty();
        return m_applied;
    }
    // Each goes back as the document was when it was added: what came before
    // it is back already, what came after it is still set aside.
    for (const Insertions::Placed& placed : m_insertions.m_placed)
        document.putBack(placed.node, placed.parent, placed.next);
    m_applied = true;
    return true;
}

void InsertionCommand::revert(DataDocument& document)
{
    for (auto placed = m_insertions.m_placed.crbegin(); placed != m_insertions.m_placed.crend(); ++placed)
        document.setAside(placed->node);
    m_applied = false;
}

void InsertionCommand::forget(DataDocument& document)
{
    if (m_applied)
        return;
    for (const Insertions::Placed& placed : m_insertions.m_placed)
        document.discard(placed.node);
    m_insertions.m_placed.clear();
}

pugi::xml_node InsertionCommand::subject() const
{
    if (m_shown || m_insertions.m_placed.empty())
        return m_shown;
    const Insertions::Placed& first = m_insertions.m_placed.front();
    return m_applied ? first.node : first.parent;
}
