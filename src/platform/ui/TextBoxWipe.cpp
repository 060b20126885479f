#include "platform/ui/TextBoxWipe.h"

#include "base/SecureWipe.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace TextBoxWipe {

// text() shares the box's buffer, which setText() then leaves to this copy
// alone; setText() also drops the undo steps.
void wipe(QLineEdit& box)
{
    QString typed = box.text();
    box.setText(QString());
    SecureWipe::wipe(typed);
}

void wipe(QPlainTextEdit& box)
{
    box.clear();
    box.document()->clearUndoRedoStacks();
}

void wipeQuietly(QWidget& widget)
{
    const QSignalBlocker quiet(widget);
    if (auto* line = qobject_cast<QLineEdit*>(&widget))
        wipe(*line);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(&widget))
        wipe(*memo);
}

} // namespace TextBoxWipe
