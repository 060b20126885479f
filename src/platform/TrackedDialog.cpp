#include "platform/TrackedDialog.h"

void TrackedDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    emit shown(this);
}

void TrackedDialog::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit hidden(this);
}
