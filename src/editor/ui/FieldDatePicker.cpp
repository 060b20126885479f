#include "editor/ui/FieldDatePicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

FieldDatePicker::FieldDatePicker(const QString& storedText, QWidget* parent)
    : QWidget(parent)
    , m_checkBox(new QCheckBox(this))
    , m_dateEdit(new QDateEdit(this))
    , m_storedText(storedText)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_checkBox);
    layout->addWidget(m_dateEdit, 1);

    // Shown as the search reads it, so a hit is found where the user sees it.
    const QLocale locale;
    m_dateEdit->setLocale(locale);
    m_dateEdit->setDisplayFormat(dateDisplayFormat(locale));
    m_dateEdit->setCalendarPopup(true);
    m_dateEdit->setMinimumDate(QDate(100, 1, 1)); // the earliest a date edit takes
    m_dateEdit->setDate(ParseStoredDate(storedText).value_or(QDate::currentDate()));

    m_checkBox->setChecked(!storedText.isEmpty());
    showHasDate(m_checkBox->isChecked());
    connect(m_checkBox, &QCheckBox::toggled, this, &FieldDatePicker::showHasDate);
    // Before the change handlers, so they see the new value.
    connect(m_checkBox, &QCheckBox::toggled, this, &FieldDatePicker::takeShownValue);
    connect(m_dateEdit, &QDateEdit::dateChanged, this, &FieldDatePicker::takeShownValue);
}

QString FieldDatePicker::storedText() const
{
    return m_storedText;
}

QString FieldDatePicker::shownText() const
{
    return m_checkBox->isChecked() ? m_dateEdit->text() : QString();
}

void FieldDatePicker::takeShownValue()
{
    m_storedText = m_checkBox->isChecked() ? FormatStoredDate(m_dateEdit->date()) : QString();
}

void FieldDatePicker::onValueChanged(std::function<void()> handler)
{
    connect(m_checkBox, &QCheckBox::toggled, this, [handler] { handler(); });
    connect(m_dateEdit, &QDateEdit::dateChanged, this, [handler] { handler(); });
}

// Without a date the date part is greyed and the check box takes the focus
// given to the picker.
void FieldDatePicker::showHasDate(bool hasDate)
{
    m_dateEdit->setEnabled(hasDate);
    setFocusProxy(hasDate ? static_cast<QWidget*>(m_dateEdit) : m_checkBox);
}
