#pragma once

#include <QString>

#include <pugixml.hpp>

class DataDocument;

// One change of the document that can be taken back and made again. The
// history applies a command once to make the change, then reverts and
// applies it in turn for undo and redo, always in the order the changes were
// made, so every command finds the document exactly as it left it. Handles a
// command keeps stay valid in between: what it takes out of the tree it sets
// aside in the document rather than dropping it.
class DocumentCommand {
public:
    explicit DocumentCommand(QString description)
        : m_description(std::move(description))
    {
    }
    virtual ~DocumentCommand() = default;
    DocumentCommand(const DocumentCommand&) = delete;
    DocumentCommand& operator=(const DocumentCommand&) = delete;

    // What the Edit menu names after "Undo" or "Redo", e.g. Delete “Bank”.
    const QString& description() const { return m_description; }

    // False when the change could not be made; the document is then as before
    // and the command is dropped. Only the first call can fail.
    virtual bool apply(DataDocument& document) = 0;
    virtual void revert(DataDocument& document) = 0;
    // Called when the command is dropped while reverted (a new change made
    // after an undo): lets go of what it set aside.
    virtual void forget(DataDocument& document) { Q_UNUSED(document) }
    // The item the change concerns, to be shown after an undo or redo; null
    // when it is not in the tree at the time.
    virtual pugi::xml_node subject() const = 0;
    // Takes next, just applied, into this one, so that both are undone in one
    // step (typing in one field); false when they stay two steps.
    virtual bool absorb(const DocumentCommand& next)
    {
        Q_UNUSED(next)
        return false;
    }

private:
    QString m_description;
};
