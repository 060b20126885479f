#pragma once

#include <initializer_list>

class QAction;
class QHBoxLayout;
class QWidget;

// The row of large buttons under the menu bar, one per action, each showing
// the action's picture above its caption.
namespace ToolRow {

struct Button {
    const char* objectName;
    QAction* action;
};

// The buttons in the given order, left to right. Created in that order, they
// take the focus with Tab in it too, before the tree and the record.
QHBoxLayout* create(QWidget* parent, std::initializer_list<Button> buttons);

} // namespace ToolRow
