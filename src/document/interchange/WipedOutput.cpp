#include "document/interchange/WipedOutput.h"

#include "base/SecureWipe.h"

#include <algorithm>

WipedOutput::WipedOutput(QIODevice& device)
    : m_device(device)
    , m_buffers{QByteArray(Size, Qt::Uninitialized), QByteArray(Size, Qt::Uninitialized)}
{
}

WipedOutput::~WipedOutput()
{
    if (m_writing.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_changed.notify_all();
        m_writing.join();
    }
    for (QByteArray& buffer : m_buffers)
        SecureWipe::wipe(buffer);
}

void WipedOutput::appendOverflowing(QByteArrayView text)
{
    // Text longer than the room left goes in pieces, each buffer handed over full.
    while (!text.isEmpty()) {
        if (m_used == Size)
            handOver();
        const qsizetype piece = std::min(text.size(), Size - m_used);
        std::memcpy(m_buffers[m_filling].data() + m_used, text.data(), size_t(piece));
        m_used += piece;
        text = text.sliced(piece);
    }
}

void WipedOutput::handOver()
{
    std::unique_lock lock(m_mutex);
    waitForWriting(lock);
    m_handedOver = m_filling;
    m_handedOverSize = m_used;
    if (!m_writing.joinable())
        m_writing = std::thread([this] { writeHandedOver(); });
    lock.unlock();
    m_changed.notify_all();
    m_filling = 1 - m_filling;
    m_used = 0;
}

void WipedOutput::waitForWriting(std::unique_lock<std::mutex>& lock)
{
    m_changed.wait(lock, [this] { return m_handedOver < 0; });
}

void WipedOutput::writeHandedOver()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_handedOver >= 0 || m_closing; });
        if (m_handedOver < 0)
            return;
        QByteArray& buffer = m_buffers[m_handedOver];
        const qsizetype size = m_handedOverSize;
        lock.unlock();
        const bool written = write(buffer, size);
        lock.lock();
        m_ok = m_ok && written;
        m_handedOver = -1;
        m_changed.notify_all();
    }
}

bool WipedOutput::write(QByteArray& buffer, qsizetype size)
{
    const bool written = m_device.write(buffer.constData(), size) == size;
    SecureWipe::wipe(buffer.data(), size_t(size));
    return written;
}

bool WipedOutput::flush()
{
    std::unique_lock lock(m_mutex);
    waitForWriting(lock);
    // Whatever is left is written here: the writing thread is idle.
    m_ok = write(m_buffers[m_filling], m_used) && m_ok;
    m_used = 0;
    return m_ok;
}
