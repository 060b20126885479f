#pragma once

#include <QObject>

// Swallows every typed character but the digits 0 to 9 before it reaches the
// watched edit: letters, signs and blanks. Keys that type no character pass:
// Tab and Shift+Tab, Return, Enter and Escape work as in any other field, and
// so do the editing keys (Backspace, Delete, arrows, Home, End) and Ctrl
// shortcuts. Text that arrives other than by typing (paste, context menu,
// program) is not filtered.
class DigitsOnlyKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
