#pragma once

#include "base/CodePage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The program's 8-bit files (data documents written by older programs, settings,
// language files) are UTF-8 or in the code page of older files, our stand-in
// for the system's ANSI code page, which Linux does not have; we write UTF-8.
// Readers accept both.
namespace TextEncoding {

// Windows-1252 until set; the program sets it from its settings.
const CodePage& olderFilesCodePage();
void setOlderFilesCodePage(const CodePage& codePage);

// Bytes as text: UTF-8 when they are valid UTF-8, else the code page of older files.
QString decode8Bit(const QByteArray& bytes);

// The same decision, but returning UTF-8 bytes (for parsers that take UTF-8).
// Valid UTF-8 is returned unchanged, without a copy.
QByteArray toUtf8(QByteArray bytes);

bool isValidUtf8(QByteArrayView bytes);
// Whether QString::fromUtf8 reads utf8 as the text whose UTF-8 it is: valid,
// and not beginning with a byte order mark, which decoding drops.
bool decodesToItself(QByteArrayView utf8);
// Where the first XML character reference ("&#") at or after from begins; -1
// for none. Text holds few ampersands, so this runs at memchr's speed, where
// a search for the pair ran at a tenth of it.
qsizetype indexOfCharacterReference(QByteArrayView text, qsizetype from = 0);
// The length of the longest beginning of bytes that is whole characters of
// valid UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
qsizetype validUtf8Prefix(QByteArrayView bytes);

} // namespace TextEncoding
