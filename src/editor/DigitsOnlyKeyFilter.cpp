#include "editor/DigitsOnlyKeyFilter.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

// Whether the key would put text into the edit: printable characters without
// Ctrl or Meta (Ctrl with Alt is AltGr on some keyboards, which types).
bool typesText(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    const bool shortcut = modifiers.testFlag(Qt::MetaModifier)
                          || (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier));
    const QString text = key.text();
    return !shortcut && !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

bool isDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool DigitsOnlyKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (typesText(key) && !isDigits(key.text()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
