#include "datafile/Passphrase.h"

#include "datafile/PasswordGenerator.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace Passphrase {

QStringList readWordList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const auto isDie = [](QChar c) { return c >= u'1' && c <= u'6'; };
    QStringList words;
    QSet<QString> seen;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        const QStringView number = QStringView(line).left(tab);
        const QString word = line.mid(tab + 1);
        if (tab <= 0 || !std::all_of(number.begin(), number.end(), isDie) || word.isEmpty()
            || word.contains(QLatin1Char(' ')) || word.contains(QLatin1Char('\t')) || seen.contains(word))
            return {};
        seen.insert(word);
        words.append(word);
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
