#pragma once

#include <QDialog>

// A dialog that tells when it is shown and hidden, so the main window can keep
// track of the one dialog that is open (the auto-lock hides it and brings it
// back).
class TrackedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

signals:
    void shown(QDialog* dialog);
    void hidden(QDialog* dialog);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};
