#include "document/StoredTextWriter.h"

#include "base/SecureWipe.h"

#include <algorithm>
#include <cstring>

namespace {

const char* find(const char* from, const char* end, char c)
{
    const void* at = std::memchr(from, c, static_cast<size_t>(end - from));
    return at ? static_cast<const char*>(at) : end;
}

} // namespace

StoredTextWriter::StoredTextWriter(pugi::xml_writer& destination)
    : m_destination(destination)
{
}

StoredTextWriter::~StoredTextWriter()
{
    // The chunk held document text.
    SecureWipe::wipe(m_chunk, sizeof m_chunk);
}

void StoredTextWriter::write(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    const char* end = p + size;
    // The next CR and the next LF, each looked for once.
    const char* cr = find(p, end, '\r');
    const char* lf = find(p, end, '\n');
    while (p < end) {
        const char* brk = std::min(cr, lf);
        if (brk > p)
            put(p, static_cast<size_t>(brk - p));
        if (brk == end)
            return;
        // A CR that ends the piece is no pair, even where lf stands for "none found".
        if (brk == cr && lf == cr + 1 && lf < end) {
            put("\r\n", 2);
            p = brk + 2;
        } else {
            put(brk == cr ? "&#13;" : "&#10;", 5);
            p = brk + 1;
        }
        if (cr < p)
            cr = find(p, end, '\r');
        if (lf < p)
            lf = find(p, end, '\n');
    }
}

void StoredTextWriter::finish()
{
    put("\r\n", 2);
    flush();
}

void StoredTextWriter::put(const char* data, size_t size)
{
    if (m_held + size > sizeof m_chunk) {
        flush();
        if (size > sizeof m_chunk) {
            m_destination.write(data, size);
            return;
        }
    }
    std::memcpy(m_chunk + m_held, data, size);
    m_held += size;
}

void StoredTextWriter::flush()
{
    if (m_held > 0)
        m_destination.write(m_chunk, m_held);
    m_held = 0;
}

WipingByteArrayWriter::WipingByteArrayWriter(QByteArray& out, qsizetype expectedSize)
    : m_out(out)
{
    reserveRoom(expectedSize);
}

void WipingByteArrayWriter::write(const void* data, size_t size)
{
    reserveRoom(static_cast<qsizetype>(size));
    m_out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
}

void WipingByteArrayWriter::reserveRoom(qsizetype bytes)
{
    if (m_out.capacity() - m_out.size() >= bytes)
        return;
    QByteArray grown;
    grown.reserve(std::max(2 * m_out.capacity(), m_out.size() + bytes));
    grown.append(m_out);
    SecureWipe::wipe(m_out);
    m_out = std::move(grown);
}
