#pragma once

#include <QModelIndex>

// What the tree's commands need of the view showing the tree, beyond its
// model and selection: the groups the user opened, bringing a node into
// sight, and handing the keyboard back to the tree.
class TreeNodeView {
public:
    virtual ~TreeNodeView() = default;
    virtual bool isNodeExpanded(const QModelIndex& node) const = 0;
    virtual void expandNode(const QModelIndex& node) = 0;
    virtual void scrollToNode(const QModelIndex& node) = 0;
    virtual void takeKeyboardFocus() = 0;
};
