#pragma once

#include <QByteArray>

// The text an import reads, given back as the reading moves through it: what
// lies before the reader is wiped and its memory pages are returned to the
// system, so that the input and the new document's text, which grows as the
// input is read, are never both held whole. A wiped page reads as zeros
// again should anything look at it, as a wiped text does.
class PassedText {
public:
    // text must not be shared, and must stay where it is while read.
    explicit PassedText(QByteArray& text);
    // The rest is wiped, and the text let go.
    ~PassedText();
    PassedText(const PassedText&) = delete;
    PassedText& operator=(const PassedText&) = delete;

    // Nothing before at (inside the text) is looked at again.
    void passTo(const char* at);

private:
    void wipeUpTo(qsizetype end);

    QByteArray& m_text;
    qsizetype m_wiped = 0;
    // Where the last pages were returned up to, from the text's start.
    qsizetype m_returned = 0;
};
