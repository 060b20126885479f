#include "config/MnemonicGroup.h"

namespace {

const QChar Marker = u'&';

bool startsWord(const QString& text, qsizetype at)
{
    return at == 0 || !text.at(at - 1).isLetterOrNumber();
}

} // namespace

QString MnemonicGroup::mark(const QString& text)
{
    const qsizetype chosen = choose(text);
    QString marked;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (at == chosen || text.at(at) == Marker)
            marked += Marker;
        marked += text.at(at);
    }
    if (chosen >= 0)
        take(text.at(chosen));
    return marked;
}

qsizetype MnemonicGroup::choose(const QString& text) const
{
    qsizetype firstFree = -1;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isFree(text.at(at)))
            continue;
        if (startsWord(text, at))
            return at;
        if (firstFree < 0)
            firstFree = at;
    }
    return firstFree;
}

void MnemonicGroup::reserve(const QString& markedText)
{
    for (qsizetype at = 0; at + 1 < markedText.size(); ++at) {
        if (markedText.at(at) != Marker)
            continue;
        if (markedText.at(at + 1) != Marker) {
            take(markedText.at(at + 1));
            return;
        }
        ++at;
    }
}

bool MnemonicGroup::isFree(QChar c) const
{
    return c.isLetterOrNumber() && !m_taken.contains(c.toUpper());
}

void MnemonicGroup::take(QChar c)
{
    m_taken.insert(c.toUpper());
}
