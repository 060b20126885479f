#include "app/ui/ClipboardGuard.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

template <typename TextBox>
void deselect(TextBox* box)
{
    QTextCursor cursor = box->textCursor();
    cursor.clearSelection();
    box->setTextCursor(cursor);
}

} // namespace

ClipboardGuard::ClipboardGuard(QObject* parent)
    : QObject(parent)
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ClipboardGuard::clearOwned);
}

void ClipboardGuard::clearOwned()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            line->deselect();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
            deselect(plain);
        else if (auto* rich = qobject_cast<QTextEdit*>(widget))
            deselect(rich);
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsSelection())
        clipboard->clear(QClipboard::Selection);
    if (clipboard->ownsClipboard())
        clipboard->clear(QClipboard::Clipboard);
}
