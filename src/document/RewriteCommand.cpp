#include "document/RewriteCommand.h"

#include "document/DataDocument.h"

#include <utility>

RewriteCommand::RewriteCommand(QString description, pugi::xml_node element, Scope scope, pugi::xml_node shown,
                               Rewrite rewrite, bool continuesTyping)
    : DocumentCommand(std::move(description))
    , m_element(element)
    , m_scope(scope)
    , m_shown(shown)
    , m_rewrite(std::move(rewrite))
    , m_continuesTyping(continuesTyping)
{
}

bool RewriteCommand::apply(DataDocument& document)
{
    if (!m_rewrite) {
        restore(m_after);
        return true;
    }
    const Rewrite rewrite = std::exchange(m_rewrite, nullptr);
    const bool withContent = m_scope == Scope::Whole;
    m_before = document.keepCopy(m_element, withContent);
    if (!m_before)
        return false;
    if (!rewrite(m_element)) {
        restore(m_before);
        document.discard(m_before);
        return false;
    }
    m_after = document.keepCopy(m_element, withContent);
    if (!m_after) {
        restore(m_before);
        document.discard(m_before);
        return false;
    }
    m_document = &document;
    return true;
}

void RewriteCommand::revert(DataDocument& document)
{
    Q_UNUSED(document)
    restore(m_before);
}

void RewriteCommand::forget(DataDocument& document)
{
    document.discard(m_before);
    document.discard(m_after);
}

bool RewriteCommand::absorb(const DocumentCommand& next)
{
    const auto* typed = dynamic_cast<const RewriteCommand*>(&next);
    if (!typed || !typed->m_continuesTyping || typed->m_element != m_element || typed->m_scope != m_scope)
        return false;
    // Both steps become one: from this one's state before to next's after.
    m_document->discard(m_after);
    m_document->discard(typed->m_before);
    m_after = typed->m_after;
    return true;
}

void RewriteCommand::restore(const pugi::xml_node& state)
{
    m_element.remove_attributes();
    for (const pugi::xml_attribute& attribute : state.attributes())
        m_element.append_copy(attribute);
    if (m_scope == Scope::Attributes)
        return;
    DataDocument::clearContent(m_element);
    if (const char* text = DataDocument::onlyText(state)) {
        m_element.text().set(text);
        return;
    }
    for (const pugi::xml_node& child : state.children())
        m_element.append_copy(child);
}
