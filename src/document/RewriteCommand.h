#pragma once

#include "document/DocumentCommand.h"

#include <functional>

class DataDocument;

// A change made in place to one element: a new name, a field's new value.
// The element keeps its handle, which other changes and the tree hold; undo
// and redo copy back the state it had before and after, kept as copies set
// aside in the document, so the text is restored exactly (an attribute the
// change added goes again).
class RewriteCommand : public DocumentCommand {
public:
    enum class Scope {
        // Its attributes only: a group's, whose content stays as it is.
        Attributes,
        // Its attributes and everything it holds: a field, a label.
        Whole,
    };
    // Rewrites the element; false when it could not, having changed nothing.
    using Rewrite = std::function<bool(pugi::xml_node element)>;

    // shown: the item to show after undo and redo. A command that continues
    // typing takes the place of the one before it when that one rewrote the
    // same element the same way.
    RewriteCommand(QString description, pugi::xml_node element, Scope scope, pugi::xml_node shown, Rewrite rewrite,
                   bool continuesTyping = false);

    bool apply(DataDocument& document) override;
    void revert(DataDocument& document) override;
    void forget(DataDocument& document) override;
    pugi::xml_node subject() const override { return m_shown; }
    bool absorb(const DocumentCommand& next) override;

private:
    // Gives m_element the attributes, and for Whole the content, of state.
    void restore(const pugi::xml_node& state);

    pugi::xml_node m_element;
    Scope m_scope;
    pugi::xml_node m_shown;
    Rewrite m_rewrite;
    bool m_continuesTyping;
    // Set by the first apply, which is the only time the command needs it
    // outside undo and redo: to let go of the states that absorb replaces.
    DataDocument* m_document = nullptr;
    pugi::xml_node m_before;
    pugi::xml_node m_after;
};
