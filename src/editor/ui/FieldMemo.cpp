#include "editor/ui/FieldMemo.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int VisibleLines = 2;

// How many characters the key would put into the box.
qsizetype typedLength(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return 1;
    const QString text = key.text();
    return !text.isEmpty() && text.front().isPrint() ? text.size() : 0;
}

} // namespace

FieldMemo::FieldMemo(const QString& storedText, QWidget* parent)
    : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next field, as in every other control of the panel.
    setTabChangesFocus(true);
    setPlainText(longTextLines(storedText).join(u'\n'));
    // The limit bounds typing; a longer stored value is shown and kept whole.
    m_maxLength = std::max(MaxTypedLength, length());

    const int frame = 2 * frameWidth();
    const int margins = 2 * static_cast<int>(document()->documentMargin());
    setFixedHeight(frame + margins + VisibleLines * fontMetrics().lineSpacing()
                   + horizontalScrollBar()->sizeHint().height());
}

QString FieldMemo::storedText() const
{
    return storedLongText(toPlainText());
}

void FieldMemo::onValueChanged(std::function<void()> handler)
{
    connect(this, &QPlainTextEdit::textChanged, this, [handler = std::move(handler)] { handler(); });
}

int FieldMemo::length() const
{
    return document()->characterCount() - 1; // without the closing paragraph separator
}

int FieldMemo::room() const
{
    const QTextCursor cursor = textCursor();
    return m_maxLength - length() + (cursor.selectionEnd() - cursor.selectionStart());
}

void FieldMemo::keyPressEvent(QKeyEvent* event)
{
    if (typedLength(*event) > room()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void FieldMemo::inputMethodEvent(QInputMethodEvent* event)
{
    const int fits = std::max(0, room() + event->replacementLength());
    if (event->commitString().size() <= fits) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent limited(event->preeditString(), event->attributes());
    limited.setCommitString(event->commitString().left(fits), event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&limited);
}

void FieldMemo::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    // Count a pasted line break as the box stores it: one character.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r"));
    const QString text = source->text().replace(lineBreak, QStringLiteral("\n"));
    insertPlainText(text.left(std::max(0, room())));
}
