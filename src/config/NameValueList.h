#pragma once

#include <QString>
#include <QStringList>

// An ordered list of name=value lines, as the settings list and the caption
// table keep them. A line's name is the text before its first "=", compared
// without regard to case; its value is the rest, taken literally. A lookup
// takes the first matching line; lines without "=" are kept but never match.
class NameValueList {
public:
    NameValueList() = default;
    explicit NameValueList(QStringList lines)
        : m_lines(std::move(lines))
    {
    }

    // The value of the first line named name, or the empty text.
    QString value(const QString& name) const;
    bool contains(const QString& name) const { return indexOf(name) >= 0; }

    // A non-empty value replaces the first line of that name or is appended;
    // an empty value deletes the first line of that name. Both refuse a value
    // holding CR or LF, leaving the list as it was: written out, it would
    // become lines of its own.
    void set(const QString& name, const QString& value);
    void append(const QString& name, const QString& value);
    void clear() { m_lines.clear(); }

    const QStringList& lines() const { return m_lines; }

    // Text lines ending at CR, LF or CR LF; the bytes are UTF-8, else in the code
    // page of older files (TextEncoding).
    static NameValueList fromBytes(const QByteArray& bytes);
    // Every line ended by CR LF, the last one too; UTF-8.
    QByteArray toBytes() const;

private:
    qsizetype indexOf(const QString& name) const;

    QStringList m_lines;
};
