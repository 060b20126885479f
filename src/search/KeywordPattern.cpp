#include "search/KeywordPattern.h"

#include <algorithm>
#include <cstring>

namespace {

// CR, LF and tab count too: every line of a Long Text value is stored followed
// by CR LF, so the last word of a line must still be a whole word.
bool isWordDelimiter(QChar c)
{
    return QStringView(u" (),./:;@\\\r\n\t").contains(c);
}

// The walk over start positions is kept as it is even for an empty keyword:
// that then matches before a delimiter that starts the text or follows
// another delimiter (never at the last character).
bool containsWholeWord(const QString& text, const QString& keyword)
{
    const qsizetype length = text.size();
    const qsizetype keywordLength = keyword.size();
    for (qsizetype p = 0; p < length; ++p) {
        if (QStringView(text).mid(p, keywordLength) != keyword)
            continue;
        const bool leftBound = p == 0 || isWordDelimiter(text.at(p - 1));
        const bool rightBound =
            p + keywordLength == length || (p < length - 1 && isWordDelimiter(text.at(p + keywordLength)));
        if (leftBound && rightBound)
            return true;
    }
    return false;
}

} // namespace

KeywordPattern::KeywordPattern(const QString& keyword, bool wholeWords)
    : m_keyword(wholeWords ? keyword : keyword.toUpper())
    , m_wholeWords(wholeWords)
{
    const bool ascii = std::all_of(m_keyword.cbegin(), m_keyword.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        m_asciiKeyword = m_keyword.toLatin1();
}

bool KeywordPattern::matchesUtf8(const char* text) const
{
    const std::size_t length = std::strlen(text);
    const auto* begin = reinterpret_cast<const unsigned char*>(text);
    const bool ascii = std::all_of(begin, begin + length, [](unsigned char c) { return c < 0x80; });
    if (m_wholeWords || !ascii)
        return matches(QString::fromUtf8(text, static_cast<qsizetype>(length)));
    // An ASCII text upper-cases to ASCII, so it cannot hold any other keyword.
    const std::size_t wanted = static_cast<std::size_t>(m_asciiKeyword.size());
    if (wanted == 0 || length < wanted)
        return false;
    const auto upper = [](unsigned char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : static_cast<char>(c);
    };
    for (std::size_t at = 0; at + wanted <= length; ++at) {
        std::size_t n = 0;
        while (n < wanted && upper(begin[at + n]) == m_asciiKeyword[static_cast<qsizetype>(n)])
            ++n;
        if (n == wanted)
            return true;
    }
    return false;
}

bool KeywordPattern::matches(QString text) const
{
    if (m_wholeWords)
        return containsWholeWord(text, m_keyword);
    return !text.isEmpty() && !m_keyword.isEmpty() && std::move(text).toUpper().contains(m_keyword);
}

bool MatchKeyword(const QString& text, const QString& keyword, bool wholeWords)
{
    return KeywordPattern(keyword, wholeWords).matches(text);
}

QString lowerAscii(QString text)
{
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}
