#include "editor/ui/FieldTimePicker.h"

FieldTimePicker::FieldTimePicker(const QString& storedText, QWidget* parent)
    : QTimeEdit(parent)
{
    // Shown as the search reads it, so a hit is found where the user sees it.
    const QLocale locale;
    setLocale(locale);
    setDisplayFormat(timeDisplayFormat(locale));
    setTime(ParseStoredTime(storedText).value_or(QTime::currentTime()));
}

void FieldTimePicker::onValueChanged(std::function<void()> handler)
{
    connect(this, &QTimeEdit::timeChanged, this, [handler = std::move(handler)] { handler(); });
}
