#include "platform/ui/TrayShell.h"

#include "platform/ui/PlainToolTip.h"

#include <QApplication>
#include <QList>
#include <QWidget>

namespace {

// The button presses and releases that an activation stands for.
QList<int> mouseActionsOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return {TrayShell::LeftButtonDown, TrayShell::LeftButtonUp};
    case QSystemTrayIcon::DoubleClick:
        return {TrayShell::LeftButtonDoubleClick};
    case QSystemTrayIcon::Context:
        return {TrayShell::RightButtonDown, TrayShell::RightButtonUp};
    case QSystemTrayIcon::MiddleClick:
        return {TrayShell::MiddleButtonDown, TrayShell::MiddleButtonUp};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}

} // namespace

QtTrayShell::QtTrayShell(QObject* parent)
    : TrayShell(parent)
    , m_trayIcon(new QSystemTrayIcon(this))
{
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &QtTrayShell::notifyActivation);
}

bool QtTrayShell::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayShell::add(quintptr id, const QIcon& icon, const QString& tip)
{
    m_shownId = id;
    m_shown = true;
    m_trayIcon->setIcon(icon);
    m_trayIcon->show();
    showTip(tip);
    return true;
}

bool QtTrayShell::modify(quintptr id, const QIcon& icon, const QString& tip)
{
    if (!holds(id))
        return false;
    m_trayIcon->setIcon(icon);
    showTip(tip);
    return true;
}

bool QtTrayShell::remove(quintptr id)
{
    if (!holds(id))
        return false;
    m_shown = false;
    m_trayIcon->hide();
    return true;
}

// A status notifier host takes the tip as plain text. Where Qt docks the icon
// itself into an X11 notification area, in a window of its own, that window
// shows the tip as any widget shows its tooltip, so it is given the markup
// that shows the text as written.
void QtTrayShell::showTip(const QString& tip)
{
    m_trayIcon->setToolTip(tip);
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName() == QLatin1String(DockedIconWindowName))
            window->setToolTip(PlainToolTip::markup(tip));
    }
}

bool QtTrayShell::holds(quintptr id) const
{
    return m_shown && id == m_shownId;
}

void QtTrayShell::notifyActivation(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_shown)
        return;
    // Copied so a receiver that removes the icon cannot change whom the rest is for.
    const quintptr id = m_shownId;
    for (int action : mouseActionsOf(reason))
        emit notification(id, action);
}
