#include "config/NameValueList.h"

#include "base/TextEncoding.h"

#include <QRegularExpression>

namespace {

// A line break in a value would end its line in the file and start another,
// a line of the writer's choosing.
bool breaksLine(const QString& value)
{
    return value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
}

} // namespace

qsizetype NameValueList::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && QStringView(line).left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString NameValueList::value(const QString& name) const
{
    const qsizetype i = indexOf(name);
    if (i < 0)
        return {};
    const QString& line = m_lines.at(i);
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

void NameValueList::set(const QString& name, const QString& value)
{
    if (breaksLine(value))
        return;
    const qsizetype i = indexOf(name);
    if (value.isEmpty()) {
        if (i >= 0)
            m_lines.removeAt(i);
        return;
    }
    const QString line = name + QLatin1Char('=') + value;
    if (i >= 0)
        m_lines[i] = line;
    else
        m_lines.append(line);
}

void NameValueList::append(const QString& name, const QString& value)
{
    if (breaksLine(value))
        return;
    m_lines.append(name + QLatin1Char('=') + value);
}

NameValueList NameValueList::fromBytes(const QByteArray& bytes)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = TextEncoding::decode8Bit(bytes).split(lineBreak);
    // The break after the last line ends it; it does not start another.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return NameValueList(std::move(lines));
}

QByteArray NameValueList::toBytes() const
{
    QByteArray bytes;
    for (const QString& line : m_lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}
