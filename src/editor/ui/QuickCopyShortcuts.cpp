#include "editor/ui/QuickCopyShortcuts.h"

#include "config/CaptionTable.h"
#include "editor/ui/RecordEditor.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>

struct QuickCopyShortcuts::QuickCopy {
    QKeyCombination keys;
    bool (RecordEditor::*copy)();
    const char* messageKey;
    const char* message;
};

const QuickCopyShortcuts::QuickCopy* QuickCopyShortcuts::copyFor(const QKeyEvent& key)
{
    // The keys of most password keepers.
    static const QuickCopy copies[] = {
        {Qt::CTRL | Qt::Key_C, &RecordEditor::copyFirstSecret, "MessageNoSecretField",
         "This record has no password field"},
        {Qt::CTRL | Qt::Key_B, &RecordEditor::copyFirstLogin, "MessageNoLoginField", "This record has no login field"},
        {Qt::CTRL | Qt::Key_T, &RecordEditor::copyFirstCode, "MessageNoOneTimeCode",
         "This record has no one-time code"},
    };
    for (const QuickCopy& copy : copies) {
        if (key.keyCombination() == copy.keys)
            return &copy;
    }
    return nullptr;
}

QuickCopyShortcuts::QuickCopyShortcuts(QAbstractScrollArea& tree, RecordEditor& editor, const CaptionTable& captions)
    : QObject(&tree)
    , m_viewport(tree.viewport())
    , m_editor(editor)
    , m_captions(captions)
{
    tree.installEventFilter(this);
    m_viewport->installEventFilter(this);
}

bool QuickCopyShortcuts::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_viewport && event->type() == QEvent::ChildAdded) {
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child->isWidgetType())
            child->installEventFilter(this);
        return false;
    }
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const QuickCopy* copy = copyFor(*static_cast<QKeyEvent*>(event));
    if (!copy)
        return false;
    // The tree's own Ctrl+C (its caption) and any command on these keys give way.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (!(m_editor.*copy->copy)())
        emit nothingToCopy(m_captions.GetCaption(QLatin1String(copy->messageKey), QLatin1String(copy->message)));
    return true;
}
