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

private:
    QString m_keyword;  // upper-cased unless whole words are on
    bool m_wholeWords;
};

// Lower-cases the letters A to Z and nothing else.
QString lowerAscii(QString text);
