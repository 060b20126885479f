#pragma once

#include <QByteArray>
#include <QIODevice>

// A device that collects secrets in memory. Unlike QBuffer it wipes each
// allocation it grows out of, and the last one when it goes, so no piece of
// what was written stays behind in freed memory.
class SecretBuffer final : public QIODevice {
public:
    SecretBuffer();
    ~SecretBuffer() override;

    // What was written so far; valid until the next write.
    const QByteArray& bytes() const { return m_bytes; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QByteArray m_bytes;
};
