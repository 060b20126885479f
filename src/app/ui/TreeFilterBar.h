#pragma once

#include "search/TreeFilter.h"

#include <QLineEdit>

#include <unordered_set>

class DataDocument;
class DocumentTreeModel;
class DocumentTreeView;
class TreeCommands;

// The box above the tree that narrows it, as the user types, to the records
// that match with their groups (TreeFilter), the first match selected and,
// unless thousands are left, every group open. Escape brings the whole tree back with the groups open as
// they were and the selection kept, and hands the keyboard to the tree. The
// document is never written: the tree only stops showing the left-out
// items, so the tree's commands go on working on what is shown.
class TreeFilterBar : public QLineEdit {
    Q_OBJECT
public:
    TreeFilterBar(DataDocument& document, DocumentTreeModel& model, DocumentTreeView& view, TreeCommands& commands,
                  QWidget* parent = nullptr);

    // Takes the keyboard; typed, when given, is added to the keyword.
    void start(const QString& typed = {});
    // Back to the whole tree, if filtered; the keyboard stays where it is.
    void end();
    // A field or item was edited: the next keystroke looks at every item again.
    void documentEdited() { m_filter.documentChanged(); }
    // Another document came: the filter ends without a rebuild of its own.
    void forget();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void filterBy(const QString& keyword);
    void selectElement(const pugi::xml_node& element);
    void rememberOpenGroups();
    void reopenGroups();

    DataDocument& m_document;
    DocumentTreeModel& m_model;
    DocumentTreeView& m_view;
    TreeCommands& m_commands;
    TreeFilter m_filter;
    // The groups open before filtering, which opens them all.
    std::unordered_set<const void*> m_openBefore;
};
