#include "app/ui/MenuBarCornerButton.h"

#include <QActionEvent>
#include <QMenuBar>

MenuBarCornerButton::MenuBarCornerButton(const QString& objectName, QAction* action, QMenuBar* bar)
    : QToolButton(bar)
    , m_bar(bar)
{
    setObjectName(objectName);
    setDefaultAction(action);
    setAutoRaise(true);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    m_bar->setCornerWidget(this, Qt::TopRightCorner);
}

void MenuBarCornerButton::actionEvent(QActionEvent* event)
{
    QToolButton::actionEvent(event);
    if (event->type() == QEvent::ActionChanged && m_bar->cornerWidget(Qt::TopRightCorner) == this)
        m_bar->setCornerWidget(this, Qt::TopRightCorner);
}
