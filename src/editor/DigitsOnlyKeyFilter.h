#pragma once

#include <QObject>

// Swallows every typed character but the digits 0 to 9 before it reaches the
// watched edit: letters, signs, blanks, Backspace and Ctrl combinations alike.
// Keys that type nothing (Delete, arrows, Home, End) pass, and so does text
// that arrives other than by typing (context menu, program).
class DigitsOnlyKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
