#pragma once

#include <QObject>
#include <QString>

class CaptionTable;
class DocumentCommand;
class DocumentHistory;
class QAction;
class TreeCommands;

// Edit > Undo and Edit > Redo: each named after the change it would take
// back or make again ("Undo Delete “Bank”"), plain "Undo" and disabled when
// there is none. After either, the tree shows and selects the item the change
// concerns, with the groups open as they were.
class UndoCommands : public QObject {
    Q_OBJECT
public:
    UndoCommands(DocumentHistory& history, TreeCommands& tree, const CaptionTable& captions, QAction& undo,
                 QAction& redo, QObject* parent = nullptr);

    // The plain texts in the chosen language, for the menu to give mnemonics.
    void showPlainTexts();
    // Takes the texts as the menu marked them, and names the next changes
    // keeping each mnemonic.
    void followHistory();

private:
    void showNames();
    void show(const DocumentCommand& command);
    QString caption(const char* key, const char* englishDefault) const;

    DocumentHistory& m_history;
    TreeCommands& m_tree;
    const CaptionTable& m_captions;
    QAction& m_undo;
    QAction& m_redo;
    // "Undo" and "Redo" as shown in the menu, mnemonic included.
    QString m_undoMarked;
    QString m_redoMarked;
};
