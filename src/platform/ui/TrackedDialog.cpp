#include "platform/ui/TrackedDialog.h"

#include <QLineEdit>

void TrackedDialog::conceal()
{
    if (!isVisible())
        return;
    m_concealed = true;
    // QDialog's own hiding would end a running exec(); the plain widget's does not.
    QWidget::setVisible(false); // NOLINT(bugprone-parent-virtual-call)
}

void TrackedDialog::reveal()
{
    if (!m_concealed)
        return;
    show();
    m_concealed = false;
    // Showing a dialog selects the text of its focused box, so the next key
    // would replace what the user had typed before the lock.
    if (auto* edit = qobject_cast<QLineEdit*>(focusWidget()))
        edit->deselect();
}

void TrackedDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_concealed)
        return;
    prepareForUse();
    emit shown(this);
}
