#include "health/BreachList.h"

#include <QCryptographicHash>

namespace {

constexpr int HashLength = 40;
// A hash, a colon and a count fit well within this; longer lines are cut.
constexpr qint64 MaxLineLength = 128;

} // namespace

bool BreachList::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::ReadOnly);
}

qint64 BreachList::lineStartFrom(qint64 offset)
{
    if (offset == 0)
        return 0;
    // The line break before offset, if it is one, makes offset a line start.
    m_file.seek(offset - 1);
    char c = 0;
    while (m_file.getChar(&c)) {
        if (c == '\n')
            return m_file.pos();
    }
    return m_file.size();
}

QByteArray BreachList::lineAt(qint64 start, qint64& next)
{
    m_file.seek(start);
    QByteArray line = m_file.readLine(MaxLineLength);
    next = m_file.pos();
    return line.trimmed();
}

std::optional<quint64> BreachList::timesSeen(const QString& password)
{
    if (!m_file.isOpen())
        return std::nullopt;
    const QByteArray wanted = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha1).toHex().toUpper();
    // Line starts in [low, high) are still in question; low is always one.
    qint64 low = 0;
    qint64 high = m_file.size();
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        const qint64 start = lineStartFrom(middle);
        if (start >= high) {
            high = middle;
            continue;
        }
        qint64 next = 0;
        const QByteArray line = lineAt(start, next);
        const int order = wanted.compare(line.left(HashLength).toUpper());
        if (order == 0 && line.size() > HashLength && line.at(HashLength) == ':')
            return line.mid(HashLength + 1).toULongLong();
        if (order <= 0)
            high = start;
        else
            low = next;
    }
    return std::nullopt;
}
