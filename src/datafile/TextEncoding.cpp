#include "datafile/TextEncoding.h"

#include "datafile/SecureWipe.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes Windows leaves undefined
// map to the C1 control of the same number, as Windows itself converts them.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t codePointOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControlRange[byte - 0x80];
    return byte;
}

std::optional<unsigned char> byteOf(char16_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (unsigned i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

namespace TextEncoding {

bool isValidUtf8(const QByteArray& bytes)
{
    // A validating walk without decoding: documents run to tens of megabytes.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Documents are mostly ASCII: skip it eight bytes at a time.
        std::uint64_t eight;
        if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080ULL) == 0)) {
            p += 8;
            continue;
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int continuation;
        char32_t minimum;
        char32_t value;
        if ((lead & 0xE0) == 0xC0) {
            continuation = 1; minimum = 0x80; value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            continuation = 2; minimum = 0x800; value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            continuation = 3; minimum = 0x10000; value = lead & 0x07;
        } else {
            return false;
        }
        if (end - p <= continuation)
            return false;
        for (int k = 1; k <= continuation; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[k] & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        p += continuation + 1;
    }
    return true;
}

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = QChar(codePointOf(static_cast<unsigned char>(c)));
    return text;
}

QString decode8Bit(const QByteArray& bytes)
{
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

QByteArray toUtf8(QByteArray bytes)
{
    if (isValidUtf8(bytes))
        return bytes;
    // The text may be a deciphered document: the intermediate copy is wiped.
    QString text = fromWindows1252(bytes);
    QByteArray utf8 = text.toUtf8();
    SecureWipe::wipe(text);
    return utf8;
}

std::optional<QByteArray> toWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const auto byte = byteOf(c.unicode());
        if (!byte)
            return std::nullopt;
        bytes.append(static_cast<char>(*byte));
    }
    return bytes;
}

} // namespace TextEncoding
