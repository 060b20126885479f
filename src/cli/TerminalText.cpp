#include "cli/TerminalText.h"

namespace TerminalText {

namespace {

// Marks, embeddings, overrides and isolates reorder the text around them:
// "exe.txt" could show as "txt.exe", a path as another path.
bool reordersText(char16_t code)
{
    return code == 0x061c || code == 0x200e || code == 0x200f || (code >= 0x202a && code <= 0x202e)
           || (code >= 0x2066 && code <= 0x2069);
}

bool controlsTerminal(QChar c)
{
    const char16_t code = c.unicode();
    return code < 0x20 || (code >= 0x7f && code < 0xa0) || reordersText(code);
}

} // namespace

QString visible(QString text)
{
    for (QChar& c : text) {
        if (controlsTerminal(c))
            c = QChar::ReplacementCharacter;
    }
    return text;
}

QString DocumentFilter::operator()(QStringView piece)
{
    QString text;
    text.reserve(piece.size() + 1);
    if (m_returnHeld && !piece.isEmpty()) {
        text += piece.front() == u'\n' ? QChar(u'\r') : QChar::ReplacementCharacter;
        m_returnHeld = false;
    }
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const QChar c = piece.at(i);
        if (c == u'\r' && i + 1 == piece.size())
            m_returnHeld = true;
        else if (c == u'\r')
            text += piece.at(i + 1) == u'\n' ? c : QChar::ReplacementCharacter;
        else
            text += c == u'\n' || c == u'\t' || !controlsTerminal(c) ? c : QChar::ReplacementCharacter;
    }
    return text;
}

QString DocumentFilter::finish()
{
    if (!m_returnHeld)
        return {};
    m_returnHeld = false;
    return QString(QChar::ReplacementCharacter);
}

} // namespace TerminalText
