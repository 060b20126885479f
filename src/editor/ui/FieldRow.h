#pragma once

#include "document/OneTimeCode.h"

#include <QIcon>
#include <QWidget>

class CaptionTable;
class FieldControl;
class OneTimeCodeDisplay;
class QAction;
class QToolButton;
class SecretFieldCopy;

// The pictures of a field's small buttons; a button without one shows its text.
struct FieldButtonIcons {
    QIcon reveal;
    QIcon copy;
    QIcon generate;
};

// A field's input control with its small buttons beside it: the eye that
// shows a secret's value while it is pressed in (also Ctrl+H in the field),
// copy, and, for a secret Text field when passwords can be generated,
// generate. The control's context menu offers copy, and generate for every
// Text field that can have one. A secret's copies from inside its box go
// the same guarded way as the copy button's (SecretFieldCopy).
class FieldRow : public QWidget {
    Q_OBJECT
public:
    // A secret Text or Number field shows dots until the user asks.
    FieldRow(FieldControl* control, bool secret, bool canGenerate, const CaptionTable& captions,
             const FieldButtonIcons& icons, QWidget* parent = nullptr);

    FieldControl* control() const { return m_control; }
    void hideSecret();
    // Shows the field's current one-time code beside it, by clock; from then
    // on the copy button and menu entry copy the code, not the seed.
    void showOneTimeCode(const UnixClock& clock);
    // The code shown, or nullptr for a field without one.
    const OneTimeCodeDisplay* oneTimeCode() const { return m_oneTimeCode; }

signals:
    // The user asked to copy the field's whole value.
    void copyRequested(const QString& value);
    // The user asked for a generated password in place of the value.
    void generateRequested();

private:
    QToolButton* addToolButton(QAction* action, const char* objectName, int side);
    void showContextMenu(const QPoint& position);

    FieldControl* m_control;
    QAction* m_reveal = nullptr;
    QAction* m_copy;
    QAction* m_generate = nullptr;
    SecretFieldCopy* m_secretCopy = nullptr;
    OneTimeCodeDisplay* m_oneTimeCode = nullptr;
};
