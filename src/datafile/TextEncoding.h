#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The program's 8-bit files (data documents written by older programs, settings,
// language files) are in Windows-1252, our stand-in for the ANSI code page; we
// write UTF-8. Readers accept both.
namespace TextEncoding {

// Bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252.
QString decode8Bit(const QByteArray& bytes);

// The same decision, but returning UTF-8 bytes (for parsers that take UTF-8).
// Valid UTF-8 is returned unchanged, without a copy.
QByteArray toUtf8(QByteArray bytes);

bool isValidUtf8(const QByteArray& bytes);

QString fromWindows1252(const QByteArray& bytes);

// Each character as one Windows-1252 byte; nullopt when a character has no
// byte there, so a caller never silently mangles text it cannot represent.
std::optional<QByteArray> toWindows1252(const QString& text);

} // namespace TextEncoding
