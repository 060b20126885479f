#include "platform/ui/TrayShell.h"

#include "platform/ui/PlainToolTip.h"

#include <QApplication>
#include <QWidget>

QtTrayShell::QtTrayShell(QObject* parent)
    : TrayShell(parent)
    , m_trayIcon(new QSystemTrayIcon(this))
{
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &QtTrayShell::passOn);
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

// An activation Qt cannot name is no click of the user's.
void QtTrayShell::passOn(QSystemTrayIcon::ActivationReason reason)
{
    if (m_shown && reason != QSystemTrayIcon::Unknown)
        emit activated(m_shownId, reason);
}
