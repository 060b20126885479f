#include "document/ui/DocumentTreeView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

QAction* firstEnabledEntry(const QMenu& menu)
{
    const QList<QAction*> entries = menu.actions();
    for (QAction* entry : entries) {
        if (!entry->isSeparator() && entry->isVisible() && entry->isEnabled())
            return entry;
    }
    return nullptr;
}

bool opensContextMenu(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier);
}

} // namespace

DocumentTreeView::DocumentTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("TreeView"));
    setHeaderHidden(true);
    setIndentation(19);
    setUniformRowHeights(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // F2 only: no click opens the caption editor.
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // Drops land on the node under the pointer, never between nodes.
    setDragDropOverwriteMode(true);
}

void DocumentTreeView::setContextMenu(QMenu* menu)
{
    m_menu = menu;
}

void DocumentTreeView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex node = indexAt(event->position().toPoint());
    if (node.isValid() && node != currentIndex())
        setCurrentIndex(node);
    QTreeView::mousePressEvent(event);
}

void DocumentTreeView::renameCurrent()
{
    const QModelIndex node = currentIndex();
    if (!node.isValid())
        return;
    setFocus();
    scrollTo(node);
    edit(node);
}

void DocumentTreeView::keyPressEvent(QKeyEvent* event)
{
    // While a caption is edited the keys go to the editor; the state guards
    // the moment in between.
    if (event->key() == Qt::Key_Delete && state() != EditingState) {
        emit deleteRequested();
        return;
    }
    if (opensContextMenu(*event)) {
        popUpMenuAtCurrentNode();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void DocumentTreeView::keyboardSearch(const QString& search)
{
    if (!search.isEmpty() && search.at(0).isPrint())
        emit filterTyped(search);
}

void DocumentTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_menu)
        return;
    if (event->reason() == QContextMenuEvent::Keyboard)
        popUpMenuAtCurrentNode();
    else
        m_menu->popup(event->globalPos());
    event->accept();
}

void DocumentTreeView::popUpMenuAtCurrentNode()
{
    // Where the platform turns the Menu key into a context menu event too,
    // the second request finds the menu open.
    if (!m_menu || m_menu->isVisible())
        return;
    QPoint below;
    const QModelIndex node = currentIndex();
    if (node.isValid()) {
        scrollTo(node);
        below = visualRect(node).bottomLeft();
    }
    m_menu->popup(viewport()->mapToGlobal(below));
    // With an entry active the menu takes the arrow keys and Return at once.
    m_menu->setActiveAction(firstEnabledEntry(*m_menu));
}

void DocumentTreeView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    // Coming in without a current node, the view makes the first one current
    // but leaves it unselected; what the editor shows is highlighted too.
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    emit entered();
}

QItemSelectionModel::SelectionFlags DocumentTreeView::selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const
{
    // Nothing under the pointer: the current node keeps its highlight.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QTreeView::selectionCommand(index, event);
}
