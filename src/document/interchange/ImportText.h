#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// An export's bytes as the UTF-8 text its readers take. Nothing is ever
// turned into U+FFFD unseen: text that is not UTF-8 is decoded in the code
// page of older files, and the caller says so.
namespace ImportText {

struct Decoded {
    QByteArray utf8;
    // The code page the text was decoded from ("Windows-1252"); empty for
    // UTF-8 and UTF-16.
    QString codePage;
};

// UTF-16 with a byte order mark as such; UTF-8 as it is, unchanged and not
// copied; anything else in the code page of older files, the input wiped.
// nullopt, with error naming the line, for text holding a NUL character,
// which would cut a value short.
std::optional<Decoded> decode(QByteArray input, QString* error);

// Whether input is a program's own binary file rather than text: a NUL
// byte before its first line ends (UTF-16 text has one there too, and is
// text).
bool isBinary(const QByteArray& input);

} // namespace ImportText
