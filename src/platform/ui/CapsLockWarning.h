#pragma once

#include <QLabel>

class CapsLockState;

// A warning line that shows while Caps Lock is on and its window is the
// active one: looked at again on every key pressed or released in the boxes
// it watches and whenever its window is shown, activated or deactivated.
// Hidden, it keeps its room, so the window does not jump under the mouse.
class CapsLockWarning : public QLabel {
    Q_OBJECT
public:
    // window: the top-level window the warning sits in, and its parent.
    CapsLockWarning(CapsLockState& capsLock, QWidget& window);

    void watchTyping(QWidget& box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    CapsLockState& m_capsLock;
    QWidget& m_window;
};
