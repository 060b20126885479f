#include "editor/ui/FieldControl.h"

#include "editor/ui/FieldDatePicker.h"
#include "editor/ui/FieldLineEdit.h"
#include "editor/ui/FieldMemo.h"
#include "editor/ui/FieldTimePicker.h"

FieldControl* createFieldControl(FieldType type, const QString& storedText, QWidget* parent)
{
    switch (type) {
    case FieldType::LongText: return new FieldMemo(storedText, parent);
    case FieldType::Date: return new FieldDatePicker(storedText, parent);
    case FieldType::Time: return new FieldTimePicker(storedText, parent);
    case FieldType::Text:
    case FieldType::EMail:
    case FieldType::Number:
    case FieldType::Phone: break;
    }
    return new FieldLineEdit(type, storedText, parent);
}
