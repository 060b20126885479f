#pragma once

#include <QString>
#include <QStringView>

// Text from a data file is anybody's text: an escape sequence in a caption
// could retitle the terminal, move the cursor or hide the lines around it.
namespace TerminalText {

// text with every C0 and C1 control character (DEL too) and every character
// that reorders the text around it (bidirectional marks, embeddings,
// overrides and isolates) replaced by U+FFFD, line breaks included: the
// caller puts its own between the pieces.
QString visible(QString text);

// A whole document's text for a terminal, given in pieces as it is written:
// as visible(), but tabs and line breaks (LF and CR LF) stay, so that the
// document keeps its lines. A lone CR would go back to the start of the line
// and let what follows hide what came before.
class DocumentFilter {
public:
    QString operator()(QStringView piece);
    // What the last piece left open: a CR that no LF came after.
    QString finish();

private:
    bool m_returnHeld = false;
};

} // namespace TerminalText
