#include "editor/DigitsOnlyKeyFilter.h"

#include <QKeyEvent>

namespace {

bool typesCharacter(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Delete)
        return false;
    if (key.key() == Qt::Key_Backspace)
        return true;
    // Ctrl with a letter types a control character even where the platform
    // reports no text for it.
    const bool controlLetter = key.modifiers().testFlag(Qt::ControlModifier)
                               && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z;
    return controlLetter || !key.text().isEmpty();
}

bool typesDigit(const QKeyEvent& key)
{
    const QString text = key.text();
    return !key.modifiers().testFlag(Qt::ControlModifier) && text.size() == 1
           && text.front() >= u'0' && text.front() <= u'9';
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
