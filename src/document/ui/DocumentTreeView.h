#pragma once

#include "document/ui/TreeNodeView.h"

#include <QPersistentModelIndex>
#include <QPoint>
#include <QTimer>
#include <QTreeView>

class QMenu;

// The tree of groups and records as the user handles it. A press of any mouse
// button selects the node under the pointer first, so the context menu and a
// drag act on that node. Only a click on the node that was already selected,
// or F2, opens the in-place editor: a click that selects a node never renames
// it. A click below the nodes leaves the current node selected, so what the
// editor shows and what Delete removes stays highlighted.
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

signals:
    // Delete was pressed while no caption was being edited.
    void deleteRequested();
    // The keyboard focus came into the tree.
    void entered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void renameIfStillCurrent();
    void popUpMenuAtCurrentNode();

    QMenu* m_menu = nullptr;
    // The node a left press hit on its caption while it was already selected:
    // releasing there renames it once a double click is no longer possible.
    QPersistentModelIndex m_renameCandidate;
    QPoint m_pressPosition;
    QTimer m_renameDelay;
};
