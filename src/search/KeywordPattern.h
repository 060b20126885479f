#pragma once

#include <QString>

// True when keyword occurs in text. Without wholeWords: anywhere, ignoring
// case (both upper-cased); an empty keyword or text never matches. With
// wholeWords: case-sensitive, and bounded on both sides by a word delimiter
// or the end of the text; the callers lower-case beforehand where wanted.
bool MatchKeyword(const QString& text, const QString& keyword, bool wholeWords);

// The same test with the keyword prepared once, for searches that test it
// against many texts. Texts are taken by value so they can be converted in
// place.
class KeywordPattern {
public:
    KeywordPattern(const QString& keyword, bool wholeWords);
    bool matches(QString text) const;
    // The same answer for a text in UTF-8; an ASCII text, the usual kind, is
    // searched as it stands, without making a string of it.
    bool matchesUtf8(const char* text) const;

private:
    QString m_keyword; // upper-cased unless whole words are on
    bool m_wholeWords;
    // The upper-cased keyword in ASCII; empty when it holds anything else.
    QByteArray m_asciiKeyword;
};

// Lower-cases the letters A to Z and nothing else.
QString lowerAscii(QString text);
