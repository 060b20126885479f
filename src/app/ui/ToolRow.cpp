#include "app/ui/ToolRow.h"

#include <QHBoxLayout>
#include <QToolButton>

QHBoxLayout* ToolRow::create(QWidget* parent, std::initializer_list<Button> buttons)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(7);
    for (const Button& entry : buttons) {
        auto* button = new QToolButton(parent);
        button->setObjectName(QString::fromLatin1(entry.objectName));
        button->setDefaultAction(entry.action);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        // At least the designed size; longer translations widen the button.
        button->setMinimumSize(81, 65);
        row->addWidget(button);
    }
    row->addStretch();
    return row;
}
