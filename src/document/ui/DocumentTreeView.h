#pragma once

#include "document/ui/TreeNodeView.h"

#include <QTreeView>

class QMenu;

// The tree of groups and records as the user handles it. A press of any mouse
// button selects the node under the pointer first, so the context menu and a
// drag act on that node. Only F2 or the Rename command opens the in-place
// editor: a click on the selected node, often just to come back to the tree,
// never does. A click below the nodes leaves the current node selected, so
// what the editor shows and what Delete removes stays highlighted.
class DocumentTreeView : public QTreeView, public TreeNodeView {
    Q_OBJECT
public:
    explicit DocumentTreeView(QWidget* parent = nullptr);

    // The menu the tree pops up, at the pointer or, opened with the Menu key
    // or Shift+F10, at the current node with its first entry active.
    void setContextMenu(QMenu* menu);

    bool isNodeExpanded(const QModelIndex& node) const override { return isExpanded(node); }
    void expandNode(const QModelIndex& node) override { expand(node); }
    void scrollToNode(const QModelIndex& node) override { scrollTo(node); }
    void takeKeyboardFocus() override { setFocus(); }

    // Opens the caption editor on the current node, if there is one.
    void renameCurrent();

    // Typed text filters the tree rather than jumping to a caption.
    void keyboardSearch(const QString& search) override;

signals:
    // Delete was pressed while no caption was being edited.
    void deleteRequested();
    // The keyboard focus came into the tree.
    void entered();
    // A printable key was typed in the tree: text starts the filter.
    void filterTyped(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void popUpMenuAtCurrentNode();

    QMenu* m_menu = nullptr;
};
