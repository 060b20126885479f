#pragma once

#include "editor/ui/FieldControl.h"

#include <QTimeEdit>

// The picker of a Time field.
class FieldTimePicker : public QTimeEdit, public FieldControl {
    Q_OBJECT
public:
    explicit FieldTimePicker(const QString& storedText, QWidget* parent = nullptr);

    FieldType fieldType() const override { return FieldType::Time; }
    QString storedText() const override { return FormatStoredTime(time()); }
    QString shownText() const override { return text(); }
    void onValueChanged(std::function<void()> handler) override;
    QWidget* widget() override { return this; }
};
