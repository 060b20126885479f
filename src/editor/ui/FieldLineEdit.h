#pragma once

#include "editor/ui/FieldControl.h"

#include <QLineEdit>

// The single-line edit of a Text, E-Mail, Number or Phone field. Number fields
// take only typed digits; E-Mail fields show an invalid address in red.
class FieldLineEdit : public QLineEdit, public FieldControl {
    Q_OBJECT
public:
    static constexpr int MaxTypedLength = 256;

    FieldLineEdit(FieldType type, const QString& storedText, QWidget* parent = nullptr);

    FieldType fieldType() const override { return m_type; }
    QString storedText() const override { return text(); }
    QString shownText() const override { return text(); }
    void onValueChanged(std::function<void()> handler) override;
    QWidget* widget() override { return this; }

    // For an E-Mail field: black text for a valid address, red otherwise.
    void showAddressValidity();

private:
    FieldType m_type;
};
