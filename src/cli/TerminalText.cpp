#include "cli/TerminalText.h"

namespace TerminalText {

namespace {

// Embeddings, overrides and isolates reorder what follows them on the line:
// "exe.txt" could show as "txt.exe", a path as another path.
bool reordersText(char16_t code)
{
    return (code >= 0x202a && code <= 0x202e) || (code >= 0x2066 && code <= 0x2069);
}

} // namespace

QString visible(QString text)
{
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7f && code < 0xa0) || reordersText(code))
            c = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace TerminalText
