#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

// What an export writes, gathered in a buffer of one size and passed to the
// device a megabyte at a time. The buffer never grows into a new allocation
// that would leave an old copy of a secret behind, and each part is wiped
// once written. A large export is written by a thread of its own from one
// buffer while the next is filled: handing the system tens of megabytes
// takes about as long as making them.
class WipedOutput {
public:
    explicit WipedOutput(QIODevice& device);
    ~WipedOutput();
    WipedOutput(const WipedOutput&) = delete;
    WipedOutput& operator=(const WipedOutput&) = delete;

    void append(QByteArrayView text)
    {
        // An export appends many short pieces: those that fit are copied here.
        if (m_used + text.size() > Size || text.isEmpty())
            return appendOverflowing(text);
        std::memcpy(m_buffers[m_filling].data() + m_used, text.data(), size_t(text.size()));
        m_used += text.size();
    }
    // Writes what is held and waits until all is written; false when the
    // device refused any of it.
    bool flush();

private:
    static constexpr qsizetype Size = 1024 * 1024;

    void appendOverflowing(QByteArrayView text);
    // The full buffer to the writing thread, once it is done with the other.
    void handOver();
    void waitForWriting(std::unique_lock<std::mutex>& lock);
    void writeHandedOver();
    bool write(QByteArray& buffer, qsizetype size);

    QIODevice& m_device;
    QByteArray m_buffers[2];
    int m_filling = 0;
    qsizetype m_used = 0;
    bool m_ok = true;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // The buffer handed over and its size, until it is written; -1 for none.
    int m_handedOver = -1;
    qsizetype m_handedOverSize = 0;
    bool m_closing = false;
    // Started with the first full buffer: a small export is written at once.
    std::thread m_writing;
};
