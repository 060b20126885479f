#include "editor/ui/SecretFieldCopy.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace {

// An entry of the box's standard context menu, known by its text as Qt
// writes it: the entries have no other name.
bool isStandardEntry(const QAction& action, const char* text)
{
    return action.text().section(QLatin1Char('\t'), 0, 0) == QCoreApplication::translate("QLineEdit", text);
}

} // namespace

SecretFieldCopy::SecretFieldCopy(QLineEdit& field)
    : QObject(&field)
    , m_field(field)
{
    field.setDragEnabled(false);
    field.installEventFilter(this);
    connect(QGuiApplication::clipboard(), &QClipboard::selectionChanged, this,
            &SecretFieldCopy::takeBackPrimarySelection);
}

void SecretFieldCopy::adaptMenu(QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (isStandardEntry(*action, "&Copy")) {
            menu.removeAction(action);
        } else if (isStandardEntry(*action, "Cu&t")) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &SecretFieldCopy::cut);
        }
    }
}

bool SecretFieldCopy::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool copying = key->matches(QKeySequence::Copy);
    if (!copying && !key->matches(QKeySequence::Cut))
        return QObject::eventFilter(watched, event);
    // The field's key, not a window's shortcut that happens to share it.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (copying)
        copy();
    else
        cut();
    return true;
}

void SecretFieldCopy::copy()
{
    const QString value = m_field.hasSelectedText() ? m_field.selectedText() : m_field.text();
    if (!value.isEmpty())
        emit copyRequested(value);
}

void SecretFieldCopy::cut()
{
    if (m_field.isReadOnly() || !m_field.hasSelectedText())
        return;
    emit copyRequested(m_field.selectedText());
    m_field.del();
}

// A shown secret's selection is offered as the primary selection the moment
// it is made, unmarked and with no end; it is withdrawn before anyone can
// ask for it, as the event loop has not run in between.
void SecretFieldCopy::takeBackPrimarySelection()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsSelection() && m_field.hasSelectedText()
        && clipboard->text(QClipboard::Selection) == m_field.selectedText())
        clipboard->clear(QClipboard::Selection);
}
