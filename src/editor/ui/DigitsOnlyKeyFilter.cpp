#include "editor/ui/DigitsOnlyKeyFilter.h"

#include <QKeyEvent>

namespace {

bool typesCharacter(const QKeyEvent& key)
{
    switch (key.key()) {
    // These leave, confirm or cancel the field, or delete forwards; whatever
    // character a platform reports for them is not typed into the value.
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete: return false;
    case Qt::Key_Backspace: return true;
    default: break;
    }
    // Ctrl with a letter types a control character even where the platform
    // reports no text for it.
    const bool controlLetter =
        key.modifiers().testFlag(Qt::ControlModifier) && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z;
    return controlLetter || !key.text().isEmpty();
}

bool typesDigit(const QKeyEvent& key)
{
    const QString text = key.text();
    return !key.modifiers().testFlag(Qt::ControlModifier) && text.size() == 1 && text.front() >= u'0'
           && text.front() <= u'9';
}

} // namespace

bool DigitsOnlyKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (typesCharacter(key) && !typesDigit(key))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
