#include "datafile/SecretBuffer.h"

#include "base/SecureWipe.h"

#include <algorithm>

SecretBuffer::SecretBuffer()
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

SecretBuffer::~SecretBuffer()
{
    SecureWipe::wipe(m_bytes);
}

qint64 SecretBuffer::readData(char*, qint64)
{
    return -1;
}

qint64 SecretBuffer::writeData(const char* data, qint64 size)
{
    const qsizetype needed = m_bytes.size() + qsizetype(size);
    if (needed > m_bytes.capacity()) {
        // Grown by hand, as append would move the bytes and free the old
        // allocation unwiped.
        QByteArray larger;
        larger.reserve(std::max(needed, 2 * m_bytes.capacity()));
        larger.append(m_bytes);
        SecureWipe::wipe(m_bytes);
        m_bytes = std::move(larger);
    }
    m_bytes.append(data, qsizetype(size));
    return size;
}
