#include "cli/DocumentOutput.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"

namespace {

// The bytes a character starting with lead takes; 0 for no lead byte.
qsizetype characterLength(uchar lead)
{
    return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// Whether bytes are the start of a character valid UTF-8 would finish.
bool isUnfinishedCharacter(QByteArrayView bytes)
{
    if (bytes.isEmpty() || bytes.size() >= characterLength(uchar(bytes.front())))
        return false;
    const uchar lead = uchar(bytes.front());
    for (qsizetype k = 1; k < bytes.size(); ++k) {
        const uchar next = uchar(bytes[k]);
        // The second byte rules out overlong forms, surrogates and code points past U+10FFFF.
        const uchar low = k > 1 ? 0x80 : lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const uchar high = k > 1 ? 0xBF : lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (next < low || next > high)
            return false;
    }
    return true;
}

} // namespace

DocumentOutput::DocumentOutput(QTextStream& out, bool terminal)
    : m_out(out)
    , m_terminal(terminal)
    , m_device(terminal ? nullptr : out.device())
{
    open(QIODevice::WriteOnly);
}

DocumentOutput::~DocumentOutput()
{
    SecureWipe::wipe(m_heldBack);
    if (m_terminal)
        m_out << m_filter.finish();
}

qint64 DocumentOutput::writeData(const char* data, qint64 size)
{
    QByteArrayView text(data, size);
    if (m_device)
        text = writeDirectly(text);
    if (!text.isEmpty())
        writeDecoded(text);
    return size;
}

QByteArrayView DocumentOutput::writeDirectly(QByteArrayView text)
{
    // The decoder drops a byte order mark at the very start.
    if (!m_wroteDirectly && m_heldBack.isEmpty() && !text.isEmpty() && uchar(text.front()) == 0xEF) {
        stopWritingDirectly();
        return text;
    }
    m_out.flush();
    if (!m_heldBack.isEmpty()) {
        const qsizetype taken = std::min(characterLength(uchar(m_heldBack.front())) - m_heldBack.size(), text.size());
        char joined[4];
        std::copy(m_heldBack.cbegin(), m_heldBack.cend(), joined);
        std::copy_n(text.cbegin(), taken, joined + m_heldBack.size());
        const QByteArrayView character(joined, m_heldBack.size() + taken);
        if (TextEncoding::validUtf8Prefix(character) == character.size()) {
            m_device->write(character.data(), character.size());
            m_wroteDirectly = true;
            SecureWipe::wipe(m_heldBack);
            m_heldBack.clear();
            text = text.sliced(taken);
        } else if (isUnfinishedCharacter(character)) {
            m_heldBack = character.toByteArray();
            SecureWipe::wipe(joined, sizeof joined);
            return {};
        } else {
            SecureWipe::wipe(joined, sizeof joined);
            stopWritingDirectly();
            return text;
        }
        SecureWipe::wipe(joined, sizeof joined);
    }
    const qsizetype whole = TextEncoding::validUtf8Prefix(text);
    if (whole > 0) {
        m_device->write(text.data(), whole);
        m_wroteDirectly = true;
    }
    const QByteArrayView rest = text.sliced(whole);
    if (isUnfinishedCharacter(rest)) {
        m_heldBack = rest.toByteArray();
        return {};
    }
    if (!rest.isEmpty())
        stopWritingDirectly();
    return rest;
}

void DocumentOutput::stopWritingDirectly()
{
    // It starts on an invalid or unfinished character, never on a byte order
    // mark: as from the start of the text, it reads what follows as the
    // decoder that had read everything would.
    m_device = nullptr;
    if (!m_heldBack.isEmpty())
        m_out << m_decode(m_heldBack);
    SecureWipe::wipe(m_heldBack);
    m_heldBack.clear();
}

void DocumentOutput::writeDecoded(QByteArrayView text)
{
    constexpr qsizetype PieceSize = 64 * 1024;
    for (qsizetype from = 0; from < text.size(); from += PieceSize) {
        const QString piece = m_decode(text.sliced(from, std::min(PieceSize, text.size() - from)));
        m_out << (m_terminal ? m_filter(piece) : piece);
    }
}
