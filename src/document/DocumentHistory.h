#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class DataDocument;
class DocumentCommand;

// The changes made to the open document, in order, for undo and redo. It
// lives as long as the document: replacing the document clears it, saving
// marks where the document matches its file. Every change of the document
// goes through push().
class DocumentHistory : public QObject {
    Q_OBJECT
public:
    explicit DocumentHistory(DataDocument& document, QObject* parent = nullptr);
    ~DocumentHistory() override;

    // Applies command and keeps it for undo; the changes undone before it can
    // no longer be redone. False, with nothing changed, when it fails.
    bool push(std::unique_ptr<DocumentCommand> command);
    void undo();
    void redo();

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_commands.size(); }
    // The command the next undo or redo takes back or makes again, or null.
    const DocumentCommand* nextUndo() const;
    const DocumentCommand* nextRedo() const;

    // Whether the document is as it was when last marked saved.
    bool isAtSavedState() const { return m_saved && *m_saved == m_done; }
    void markSaved();
    // Forgets every change; for a document that was emptied or replaced, so
    // nothing is handed back to it.
    void clear();

signals:
    // Undo or redo became possible or impossible, or their names changed.
    void changed();
    // command was undone (reverted) or done again; the tree shows its subject.
    void undone(const DocumentCommand& command);
    void redone(const DocumentCommand& command);

private:
    // Drops the commands after the current state, which can no longer be redone.
    void forgetRedo();

    DataDocument& m_document;
    std::vector<std::unique_ptr<DocumentCommand>> m_commands;
    // How many of m_commands are applied; they come first.
    size_t m_done = 0;
    // m_done when the document matched its file; none when no state does.
    std::optional<size_t> m_saved;
};
