#include "document/DocumentHistory.h"

#include "document/DocumentCommand.h"

DocumentHistory::DocumentHistory(DataDocument& document, QObject* parent)
    : QObject(parent)
    , m_document(document)
    , m_saved(0)
{
}

DocumentHistory::~DocumentHistory() = default;

bool DocumentHistory::push(std::unique_ptr<DocumentCommand> command)
{
    if (!command->apply(m_document))
        return false;
    forgetRedo();
    // A step that reaches the saved state stays whole, so undoing it leaves that state.
    if (canUndo() && !isAtSavedState() && m_commands.back()->absorb(*command)) {
        emit changed();
        return true;
    }
    m_commands.push_back(std::move(command));
    ++m_done;
    emit changed();
    return true;
}

void DocumentHistory::undo()
{
    if (!canUndo())
        return;
    DocumentCommand& command = *m_commands[--m_done];
    command.revert(m_document);
    emit undone(command);
    emit changed();
}

void DocumentHistory::redo()
{
    if (!canRedo())
        return;
    DocumentCommand& command = *m_commands[m_done++];
    command.apply(m_document);
    emit redone(command);
    emit changed();
}

const DocumentCommand* DocumentHistory::nextUndo() const
{
    return canUndo() ? m_commands[m_done - 1].get() : nullptr;
}

const DocumentCommand* DocumentHistory::nextRedo() const
{
    return canRedo() ? m_commands[m_done].get() : nullptr;
}

void DocumentHistory::markSaved()
{
    m_saved = m_done;
}

void DocumentHistory::clear()
{
    m_commands.clear();
    m_done = 0;
    m_saved = 0;
    emit changed();
}

void DocumentHistory::forgetRedo()
{
    // Last first: each was reverted after the ones that came after it.
    while (m_commands.size() > m_done) {
        m_commands.back()->forget(m_document);
        m_commands.pop_back();
    }
    if (m_saved && *m_saved > m_done)
        m_saved.reset();
}
