#pragma once

#include <QDialog>

// A dialog that tells when it is shown for use, and that can be concealed and
// revealed by the automatic lock without ending what it is doing.
class TrackedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // Hides the dialog but keeps it running: a modal exec() goes on, and what
    // the user typed stays, until reveal() shows it again as it was.
    void conceal();
    void reveal();

signals:
    void shown(QDialog* dialog);

protected:
    // Each real showing starts from a fresh state; a reveal does not.
    virtual void prepareForUse() { }

    void showEvent(QShowEvent* event) override;

private:
    bool m_concealed = false;
};
