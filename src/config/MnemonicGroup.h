#pragma once

#include <QChar>
#include <QSet>
#include <QString>

// Keyboard mnemonics for the texts of one menu or window, chosen by the
// program so they never clash in any language: each text gets an '&' before
// a letter that no other text of the group has taken, the first letters of
// its words preferred. Captions are plain text, so an '&' of their own is
// doubled and shows as it stands.
class MnemonicGroup {
public:
    // The text marked for Alt with its letter; without a free letter or digit
    // it gets no mnemonic.
    QString mark(const QString& text);
    // Takes the letter of a text marked before (by this or another group).
    void reserve(const QString& markedText);

private:
    // The position of the letter to mark, or -1.
    qsizetype choose(const QString& text) const;
    bool isFree(QChar c) const;
    void take(QChar c);

    QSet<QChar> m_taken;
};
