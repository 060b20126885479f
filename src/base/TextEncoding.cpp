#include "base/TextEncoding.h"

#include "base/SecureWipe.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

CodePage& currentOlderFilesCodePage()
{
    static CodePage codePage = CodePage::windows1252();
    return codePage;
}

} // namespace

namespace TextEncoding {

qsizetype validUtf8Prefix(QByteArrayView bytes)
{
    // A validating walk without decoding: documents run to tens of megabytes.
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = begin;
    const auto* end = p + bytes.size();
    while (p < end) {
        // Documents are mostly ASCII: skip it 32 bytes at a time, then eight.
        constexpr std::uint64_t HighBits = 0x8080808080808080ULL;
        std::uint64_t words[4];
        if (end - p >= 32
            && (std::memcpy(words, p, 32), ((words[0] | words[1] | words[2] | words[3]) & HighBits) == 0)) {
            p += 32;
            continue;
        }
        if (end - p >= 8 && (std::memcpy(words, p, 8), (words[0] & HighBits) == 0)) {
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
            continuation = 1;
            minimum = 0x80;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            continuation = 2;
            minimum = 0x800;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            continuation = 3;
            minimum = 0x10000;
            value = lead & 0x07;
        } else {
            break;
        }
        if (end - p <= continuation)
            break;
        bool whole = true;
        for (int k = 1; k <= continuation && whole; ++k) {
            whole = (p[k] & 0xC0) == 0x80;
            value = (value << 6) | (p[k] & 0x3F);
        }
        if (!whole || value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            break;
        p += continuation + 1;
    }
    return p - begin;
}

qsizetype indexOfCharacterReference(QByteArrayView text, qsizetype from)
{
    const char* const end = text.data() + text.size();
    for (const char* at = text.data() + std::clamp<qsizetype>(from, 0, text.size()); at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, '&', size_t(end - at)));
        if (!at)
            return -1;
        if (at + 1 < end && at[1] == '#')
            return at - text.data();
    }
    return -1;
}

bool isValidUtf8(QByteArrayView bytes)
{
    return validUtf8Prefix(bytes) == bytes.size();
}

bool decodesToItself(QByteArrayView utf8)
{
    // The first byte tells most texts from a mark at once.
    const bool marked = !utf8.isEmpty() && uchar(utf8.front()) == 0xEF && utf8.startsWith("\xEF\xBB\xBF");
    return !marked && isValidUtf8(utf8);
}

const CodePage& olderFilesCodePage()
{
    return currentOlderFilesCodePage();
}

void setOlderFilesCodePage(const CodePage& codePage)
{
    currentOlderFilesCodePage() = codePage;
}

QString decode8Bit(const QByteArray& bytes)
{
    return isValidUtf8(bytes) ? QString::fromUtf8(bytes) : olderFilesCodePage().decode(bytes);
}

QByteArray toUtf8(QByteArray bytes)
{
    if (isValidUtf8(bytes))
        return bytes;
    // The text may be a deciphered document: the intermediate copy is wiped.
    QString text = olderFilesCodePage().decode(bytes);
    QByteArray utf8 = text.toUtf8();
    SecureWipe::wipe(text);
    return utf8;
}

} // namespace TextEncoding
