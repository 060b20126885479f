#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// A single-byte Windows code page, one byte for each character. Older data
// files hold their text in one of these, and a data file's key is made from
// the password's bytes in one (DataFile::MakeFileKey).
class CodePage {
public:
    // The numbers of the code pages offered, ascending: the Windows ANSI code
    // pages of one byte per character that this system can convert.
    static const QList<int>& offered();
    // nullopt for a number that is not offered.
    static std::optional<CodePage> fromNumber(int number);
    // Always available: the table is built in, not asked of the system.
    static CodePage windows1252();

    int number() const { return m_number; }
    // "Windows-1251", as the code page is commonly called.
    QString name() const;

    // Every byte gives a character; bytes the code page leaves undefined stay
    // distinguishable, so text read and written again keeps every byte.
    QString decode(const QByteArray& bytes) const;
    // nullopt when a character has no byte here, so a caller never silently
    // mangles text it cannot represent.
    std::optional<QByteArray> encode(const QString& text) const;

    using UpperHalf = std::array<char16_t, 128>; // the characters of the bytes 0x80..0xFF

private:
    CodePage(int number, const UpperHalf* upperHalf);

    int m_number;
    const UpperHalf* m_upperHalf;
};
