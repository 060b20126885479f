#include "editor/ui/FieldLineEdit.h"

#include "editor/ui/DigitsOnlyKeyFilter.h"

#include <algorithm>

FieldLineEdit::FieldLineEdit(FieldType type, const QString& storedText, QWidget* parent)
    : QLineEdit(parent)
    , m_type(type)
{
    // The limit bounds typing; a longer stored value is shown and kept whole.
    setMaxLength(std::max<int>(MaxTypedLength, storedText.size()));
    setText(storedText);
    setCursorPosition(0);
    if (type == FieldType::Number)
        installEventFilter(new DigitsOnlyKeyFilter(this));
    showAddressValidity();
}

void FieldLineEdit::onValueChanged(std::function<void()> handler)
{
    connect(this, &QLineEdit::textChanged, this, [handler = std::move(handler)] { handler(); });
}

void FieldLineEdit::showAddressValidity()
{
    if (m_type != FieldType::EMail)
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Text, IsValidEMail(text()) ? Qt::black : Qt::red);
    setPalette(colours);
}
