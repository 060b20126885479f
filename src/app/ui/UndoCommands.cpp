#include "app/ui/UndoCommands.h"

#include "app/ui/TreeCommands.h"
#include "config/CaptionTable.h"
#include "document/DocumentCommand.h"
#include "document/DocumentHistory.h"

#include <QAction>

namespace {

// The command's name in a menu text, where '&' would mark a mnemonic.
QString menuText(const QString& named, const QString& marked, const DocumentCommand* command)
{
    if (!command)
        return marked;
    QString description = command->description();
    return named.arg(description.replace(u'&', QStringLiteral("&&")));
}

} // namespace

UndoCommands::UndoCommands(DocumentHistory& history, TreeCommands& tree, const CaptionTable& captions, QAction& undo,
                           QAction& redo, QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_tree(tree)
    , m_captions(captions)
    , m_undo(undo)
    , m_redo(redo)
{
    connect(&m_undo, &QAction::triggered, &m_history, &DocumentHistory::undo);
    connect(&m_redo, &QAction::triggered, &m_history, &DocumentHistory::redo);
    connect(&m_history, &DocumentHistory::changed, this, &UndoCommands::showNames);
    connect(&m_history, &DocumentHistory::undone, this, &UndoCommands::show);
    connect(&m_history, &DocumentHistory::redone, this, &UndoCommands::show);
    showPlainTexts();
    followHistory();
}

QString UndoCommands::caption(const char* key, const char* englishDefault) const
{
    return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

void UndoCommands::showPlainTexts()
{
    m_undo.setText(caption("MainActionUndo", "Undo"));
    m_redo.setText(caption("MainActionRedo", "Redo"));
}

void UndoCommands::followHistory()
{
    m_undoMarked = m_undo.text();
    m_redoMarked = m_redo.text();
    showNames();
}

void UndoCommands::showNames()
{
    // "Undo %1" with the mnemonic the plain "Undo" was given.
    const auto named = [](const QString& plain, const QString& marked, const QString& pattern) {
        QString withMark = pattern;
        return withMark.replace(plain, marked);
    };
    const QString undo = caption("MainActionUndo", "Undo");
    const QString redo = caption("MainActionRedo", "Redo");
    m_undo.setText(menuText(named(undo, m_undoMarked, caption("MainActionUndoNamed", "Undo %1")), m_undoMarked,
                            m_history.nextUndo()));
    m_redo.setText(menuText(named(redo, m_redoMarked, caption("MainActionRedoNamed", "Redo %1")), m_redoMarked,
                            m_history.nextRedo()));
    m_undo.setEnabled(m_history.canUndo());
    m_redo.setEnabled(m_history.canRedo());
}

void UndoCommands::show(const DocumentCommand& command)
{
    m_tree.RebuildAndSelect(command.subject());
}
