#include "editor/FieldControl.h"

#include "editor/FieldDatePicker.h"
#include "editor/FieldLineEdit.h"
#include "editor/FieldMemo.h"
#include "editor/FieldTimePicker.h"

FieldControl* createFieldControl(FieldType type, const QString& storedText, QWidget* parent)
{
    switch (type) {
    case FieldType::LongText:
        return new FieldMemo(storedText, parent);
    case FieldType::Date:
        return new FieldDatePicker(storedText, parent);
    case FieldType::Time:
        return new FieldTimePicker(storedText, parent);
    case FieldType::Text:
    case FieldType::EMail:
    case FieldType::Number:
    case FieldType::Phone:
        break;
    }
    return new FieldLineEdit(type, storedText, parent);
}
