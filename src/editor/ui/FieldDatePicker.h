#pragma once

#include "editor/ui/FieldControl.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;

// The picker of a Date field: a check box that says whether the field has a
// date, and the date. An unchecked picker stands for the empty value. Until
// the user changes the picker the field keeps the text it had, so a stored
// date the picker cannot show (before the year 100, or unreadable) survives
// the write-back of an edit elsewhere in the record.
class FieldDatePicker : public QWidget, public FieldControl {
    Q_OBJECT
public:
    explicit FieldDatePicker(const QString& storedText, QWidget* parent = nullptr);

    FieldType fieldType() const override { return FieldType::Date; }
    QString storedText() const override;
    QString shownText() const override;
    void onValueChanged(std::function<void()> handler) override;
    QWidget* widget() override { return this; }

    QCheckBox* checkBox() const { return m_checkBox; }
    QDateEdit* dateEdit() const { return m_dateEdit; }

private:
    void showHasDate(bool hasDate);
    void takeShownValue();

    QCheckBox* m_checkBox;
    QDateEdit* m_dateEdit;
    QString m_storedText;
};
