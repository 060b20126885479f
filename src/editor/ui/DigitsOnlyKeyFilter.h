#pragma once

#include <QObject>

// Swallows every typed character but the digits 0 to 9 before it reaches the
// watched edit: letters, signs, blanks, Backspace and the control characters
// of Ctrl shortcuts. The keys that leave or confirm a field (Tab, Shift+Tab,
// Return, Enter, Escape) work as in any other field, and so do keys that type
// nothing (Delete, arrows). Text put in through the context menu or read from
// the file is not filtered.
class DigitsOnlyKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
