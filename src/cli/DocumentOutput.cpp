#include "cli/DocumentOutput.h"

DocumentOutput::DocumentOutput(QTextStream& out, bool terminal)
    : m_out(out)
    , m_terminal(terminal)
{
    open(QIODevice::WriteOnly);
}

DocumentOutput::~DocumentOutput()
{
    if (m_terminal)
        m_out << m_filter.finish();
}

qint64 DocumentOutput::writeData(const char* data, qint64 size)
{
    constexpr qsizetype PieceSize = 64 * 1024;
    const QByteArrayView text(data, size);
    for (qsizetype from = 0; from < text.size(); from += PieceSize) {
        const QString piece = m_decode(text.sliced(from, std::min(PieceSize, text.size() - from)));
        m_out << (m_terminal ? m_filter(piece) : piece);
    }
    return size;
}
