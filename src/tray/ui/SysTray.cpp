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
    connect(&shell, &TrayShell::notification, this, &TSysTray::TrayWindowProc);
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
            m_shell->add(identifier(), ActiveIconHandle(), m_hint);
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
        m_shell->add(identifier(), ActiveIconHandle(), m_hint);
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
        m_shell->modify(identifier(), ActiveIconHandle(), m_hint);
}

void TSysTray::setPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
}

QIcon TSysTray::ActiveIconHandle() const
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
        m_shell->modify(identifier(), ActiveIconHandle(), m_hint);
}

void TSysTray::TrayWindowProc(quintptr id, int mouseAction)
{
    if (id != identifier())
        return;
    switch (mouseAction) {
    case TrayShell::MouseMove:
        emit OnMouseMove();
        break;
    case TrayShell::LeftButtonDown:
        emit OnMouseDown(Qt::LeftButton, false);
        break;
    case TrayShell::LeftButtonUp:
        emit OnClick();
        emit OnMouseUp(Qt::LeftButton);
        break;
    case TrayShell::LeftButtonDoubleClick:
        emit OnDblClick();
        emit OnMouseDown(Qt::LeftButton, true);
        break;
    case TrayShell::RightButtonDown:
        emit OnMouseDown(Qt::RightButton, false);
        popUpMenu();
        break;
    case TrayShell::RightButtonUp:
        emit OnMouseUp(Qt::RightButton);
        break;
    case TrayShell::RightButtonDoubleClick:
        emit OnMouseDown(Qt::RightButton, true);
        break;
    case TrayShell::MiddleButtonDown:
        emit OnMouseDown(Qt::MiddleButton, false);
        break;
    case TrayShell::MiddleButtonUp:
        emit OnMouseUp(Qt::MiddleButton);
        break;
    case TrayShell::MiddleButtonDoubleClick:
        emit OnMouseDown(Qt::MiddleButton, true);
        break;
    default:
        break;
    }
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
