#include "tray/ui/SysTray.h"

#include "platform/ui/TrayShell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace {

// At most HintLimit UTF-16 units, without splitting a surrogate pair.
QString cutHint(const QString& hint)
{
    QString cut = hint.left(TSysTray::HintLimit);
    if (cut.size() < hint.size() && !cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

} // namespace

TSysTray::TSysTray(TrayShell& shell, QObject* owner)
    : QObject(owner)
    , m_shell(&shell)
    , m_inert(!shell.isAvailable())
{
    connect(&shell, &TrayShell::activated, this, &TSysTray::shellActivated);
    m_shellWatch.setInterval(1000);
    connect(&m_shellWatch, &QTimer::timeout, this, &TSysTray::followShell);
    m_shellWatch.start();
}

TSysTray::~TSysTray()
{
    setVisible(false);
}

void TSysTray::setVisible(bool visible)
{
    if (visible != m_visible && !m_inert && m_shell) {
        // A refusal of the shell is not reported: the icon is simply missing.
        if (visible)
            m_shell->add(identifier(), activeIcon(), m_hint);
        else
            m_shell->remove(identifier());
    }
    m_visible = visible;
}

bool TSysTray::shown() const
{
    return m_visible && !m_inert && m_shell;
}

void TSysTray::followShell()
{
    if (!m_shell || m_inert == !m_shell->isAvailable())
        return;
    const bool wasShown = shown();
    // Going, the icon is taken out while the area can still be told; coming
    // back, it is put in afresh.
    if (m_visible && !m_inert)
        m_shell->remove(identifier());
    m_inert = !m_inert;
    if (m_visible && !m_inert)
        m_shell->add(identifier(), activeIcon(), m_hint);
    if (shown() != wasShown)
        emit shownChanged(shown());
}

void TSysTray::setIcon(const QIcon& icon)
{
    m_icon = icon;
    IconChanged();
}

void TSysTray::setHint(const QString& hint)
{
    const QString cut = cutHint(hint);
    if (cut == m_hint)
        return;
    m_hint = cut;
    if (!m_inert && m_shell)
        m_shell->modify(identifier(), activeIcon(), m_hint);
}

void TSysTray::setPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
}

QIcon TSysTray::activeIcon() const
{
    return m_icon.isNull() ? QGuiApplication::windowIcon() : m_icon;
}

quintptr TSysTray::identifier() const
{
    return reinterpret_cast<quintptr>(this);
}

void TSysTray::IconChanged()
{
    // Sent even while hidden; the shell turns down a change to an icon it
    // does not hold.
    if (m_shell)
        m_shell->modify(identifier(), activeIcon(), m_hint);
}

void TSysTray::shellActivated(quintptr id, QSystemTrayIcon::ActivationReason reason)
{
    if (id != identifier())
        return;
    if (reason == QSystemTrayIcon::Context)
        popUpMenu();
    emit activated(reason);
}

void TSysTray::popUpMenu()
{
    if (!m_popupMenu)
        return;
    const QPoint position = QCursor::pos();
    emit popupRequested(m_popupMenu, position);
    // A receiver may have destroyed the menu.
    if (m_popupMenu)
        m_popupMenu->popup(position);
}
