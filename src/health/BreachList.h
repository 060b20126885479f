#pragma once

#include <QFile>
#include <QString>

#include <optional>

// A downloaded list of breached passwords in the public pwned-passwords form:
// one "SHA1HASH:COUNT" line per password, upper-case hex, sorted by hash. The
// lists run to tens of gigabytes, so a lookup is a binary search over byte
// offsets of the open file: a few dozen short reads, nothing loaded.
class BreachList {
public:
    // False when the file cannot be opened for reading.
    bool open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }

    // How often the list says the password was seen; nullopt when it is not
    // listed.
    std::optional<quint64> timesSeen(const QString& password);

private:
    // The offset of the first line that starts at or after offset.
    qint64 lineStartFrom(qint64 offset);
    // The line at start, without its line break, and where the next one starts.
    QByteArray lineAt(qint64 start, qint64& next);

    QFile m_file;
};
