#pragma once

#include <QString>

class QLabel;

// What the user reads where Qt shows text of format: markup is rendered, so
// "<b>x</b>" reads "x" unless the text is shown as plain text.
QString shownText(const QString& text, Qt::TextFormat format = Qt::AutoText);
QString shownText(const QLabel& label);
