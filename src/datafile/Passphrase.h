#pragma once

#include <QString>
#include <QStringList>

// Passphrases: words drawn at random, each equally likely, from a dice word
// list ("NNNNN<TAB>word" lines, the format of the EFF's lists) and joined by
// a separator. Easier to learn and type than characters of the same strength.
namespace Passphrase {

inline constexpr int MinWords = 3;
inline constexpr int MaxWords = 20;
// 77 bits with the shipped list, more than a 12-character random password.
inline constexpr int DefaultWords = 6;
inline const QString DefaultSeparator = QStringLiteral("-");

// The words of the list file at path, in its order; empty when the file
// cannot be read, or any line is not a dice number, a tab and a word, or a
// word repeats (which would make the strength shown a lie).
QStringList readWordList(const QString& path);

// wordCount words of words joined by separator; empty for no words.
QString generate(const QStringList& words, int wordCount, const QString& separator);

// The bits of randomness of wordCount words drawn from listSize.
double entropyBits(qsizetype listSize, int wordCount);

} // namespace Passphrase
