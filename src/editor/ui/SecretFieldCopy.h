#pragma once

#include <QObject>

class QLineEdit;
class QMenu;

// Keeps a secret field's own copies as guarded as its copy button: the copy
// keys (Ctrl+C and the like) and the cut keys hand the text over as a copy
// request instead of putting it on the clipboard unmarked and for good, and
// the X11 primary selection that selecting a shown secret fills is taken
// back at once. Nothing is dragged out either: the field keeps dragging off.
class SecretFieldCopy : public QObject {
    Q_OBJECT
public:
    explicit SecretFieldCopy(QLineEdit& field);

    // Fits the field's standard context menu: its Copy goes, as the row's own
    // Copy stands for it, and its Cut copies through the guard.
    void adaptMenu(QMenu& menu);

signals:
    // The selection, or the whole value when nothing is selected.
    void copyRequested(const QString& value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copy();
    void cut();
    void takeBackPrimarySelection();

    QLineEdit& m_field;
};
