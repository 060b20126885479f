#pragma once

#include "document/FieldFormats.h"

#include <QString>

#include <functional>

class QWidget;

// An input control of the record editor: it edits one field's value and gives
// it back in the stored form of the field's type.
class FieldControl {
public:
    virtual ~FieldControl() = default;

    virtual FieldType fieldType() const = 0;
    virtual QString storedText() const = 0;
    // The value as the user sees it, for copying: a date as the picker shows
    // it, a Long Text with plain line breaks; empty for a date not set.
    virtual QString shownText() const = 0;
    // handler runs after every later change of the value.
    virtual void onValueChanged(std::function<void()> handler) = 0;
    virtual QWidget* widget() = 0;
};

// The control that edits a field of type, showing storedText; created hidden.
FieldControl* createFieldControl(FieldType type, const QString& storedText, QWidget* parent);
