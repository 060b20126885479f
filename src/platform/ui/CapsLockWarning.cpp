#include "platform/ui/CapsLockWarning.h"

#include "platform/ui/CapsLockState.h"

#include <QEvent>
#include <QKeyEvent>

CapsLockWarning::CapsLockWarning(CapsLockState& capsLock, QWidget& window)
    : QLabel(&window)
    , m_capsLock(capsLock)
    , m_window(window)
{
    setObjectName(QStringLiteral("LabelCapsLock"));
    setTextFormat(Qt::PlainText);
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setVisible(false);
    m_window.installEventFilter(this);
}

void CapsLockWarning::watchTyping(QWidget& box)
{
    box.installEventFilter(this);
}

bool CapsLockWarning::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Keys a box leaves unused reach the window too; they are counted once, in the box.
    const bool relevant = watched == &m_window ? type == QEvent::Show || type == QEvent::WindowActivate
                                                     || type == QEvent::WindowDeactivate
                                               : type == QEvent::KeyPress || type == QEvent::KeyRelease;
    if (relevant) {
        if (type == QEvent::KeyPress)
            m_capsLock.noteKeyPress(*static_cast<QKeyEvent*>(event));
        refresh();
    }
    return QLabel::eventFilter(watched, event);
}

void CapsLockWarning::refresh()
{
    setVisible(m_window.isActiveWindow() && m_capsLock.isOn());
}
