#pragma once

#include <QString>

// Text from a data file is anybody's text: an escape sequence in a caption
// could retitle the terminal, move the cursor or hide the lines around it.
namespace TerminalText {

// text with every C0 and C1 control character (DEL too) and every character
// that reorders the text after it (bidirectional embeddings, overrides and
// isolates) replaced by U+FFFD, line breaks included: the caller puts its
// own between the pieces.
QString visible(QString text);

} // namespace TerminalText
