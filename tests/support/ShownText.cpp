#include "support/ShownText.h"

#include <QLabel>
#include <QTextDocumentFragment>

QString shownText(const QString& text, Qt::TextFormat format)
{
    const bool markup = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    return markup ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

QString shownText(const QLabel& label)
{
    return shownText(label.text(), label.textFormat());
}
