#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <cstring>

// What an export writes, gathered in a buffer of one size and passed to the
// device a megabyte at a time. The buffer never grows into a new allocation
// that would leave an old copy of a secret behind, and each part is wiped
// once written.
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
        std::memcpy(m_buffer.data() + m_used, text.data(), size_t(text.size()));
        m_used += text.size();
    }
    // Writes what is held; false when the device refused any of it so far.
    bool flush();

private:
    static constexpr qsizetype Size = 1024 * 1024;

    void appendOverflowing(QByteArrayView text);

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    bool m_ok = true;
};
