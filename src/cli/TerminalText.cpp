#include "cli/TerminalText.h"

namespace TerminalText {

QString visible(QString text)
{
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            c = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace TerminalText
