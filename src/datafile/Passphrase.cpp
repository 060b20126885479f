#include "datafile/Passphrase.h"

#include "datafile/PasswordGenerator.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace Passphrase {

QStringList readWordList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression line(QStringLiteral("^[1-6]+\\t(\\S+)$"));
    QStringList words;
    QSet<QString> seen;
    while (!file.atEnd()) {
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.isEmpty())
            continue;
        const QRegularExpressionMatch match = line.match(text);
        if (!match.hasMatch() || seen.contains(match.captured(1)))
            return {};
        seen.insert(match.captured(1));
        words.append(match.captured(1));
    }
    return words;
}

QString generate(const QStringList& words, int wordCount, const QString& separator)
{
    if (words.isEmpty())
        return {};
    QStringList chosen;
    for (int i = 0; i < wordCount; ++i)
        chosen.append(words.at(qsizetype(PasswordGenerator::uniformBelow(quint32(words.size())))));
    return chosen.join(separator);
}

double entropyBits(qsizetype listSize, int wordCount)
{
    return listSize > 0 ? wordCount * std::log2(double(listSize)) : 0.0;
}

} // namespace Passphrase
