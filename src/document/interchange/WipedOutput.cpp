#include "document/interchange/WipedOutput.h"

#include "base/SecureWipe.h"

WipedOutput::WipedOutput(QIODevice& device)
    : m_device(device)
    , m_buffer(Size, Qt::Uninitialized)
{
}

WipedOutput::~WipedOutput()
{
    SecureWipe::wipe(m_buffer);
}

void WipedOutput::appendOverflowing(QByteArrayView text)
{
    // An empty document text may have no bytes at all to copy from.
    if (text.isEmpty())
        return;
    flush();
    if (text.size() > Size) {
        m_ok = m_device.write(text.data(), text.size()) == text.size() && m_ok;
        return;
    }
    std::memcpy(m_buffer.data(), text.data(), size_t(text.size()));
    m_used = text.size();
}

bool WipedOutput::flush()
{
    m_ok = m_device.write(m_buffer.constData(), m_used) == m_used && m_ok;
    SecureWipe::wipe(m_buffer.data(), size_t(m_used));
    m_used = 0;
    return m_ok;
}
