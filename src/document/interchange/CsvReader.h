#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>

// Comma-separated values as RFC 4180 has them: a value in double quotes may
// hold commas, line breaks and doubled quotes. Rows end with CR LF or LF; a
// UTF-8 byte order mark at the start is passed over.
class CsvReader {
public:
    // How a quote inside a quoted value is written: doubled, or after a
    // backslash (which then also doubles itself) as some exports do.
    enum class Quoting { Doubled, Backslash };

    // text must outlive the reader; it is read in place. separator: ',' or
    // another that the file uses (';' from Excel in many locales, tab).
    explicit CsvReader(QByteArrayView text, char separator = ',', Quoting quoting = Quoting::Doubled);

    // The separator of the first line: the one of ',', ';' and tab found
    // most often outside quotes, ',' when none is.
    static char separatorOf(QByteArrayView text);

    // The next row's cells; nullopt at the end or on an error (then error()
    // is set). Lines that are empty are passed over.
    std::optional<QStringList> nextRow();
    // "line 7: ..." for malformed input, else empty.
    const QString& error() const { return m_error; }
    // The line on which the row returned last began, counting from 1.
    qsizetype rowLine() const { return m_rowLine; }

private:
    bool fail(qsizetype line, const QString& problem);
    bool readQuoted(QString& cell);

    QByteArrayView m_text;
    char m_separator;
    Quoting m_quoting;
    qsizetype m_at = 0;
    qsizetype m_line = 1;
    qsizetype m_rowLine = 0;
    QString m_error;
};

namespace CsvFormat {

constexpr char Separator = ',';
constexpr QByteArrayView RowEnd("\r\n");

// Whether a value is quoted in a row: when it holds a comma, a quote or a
// line break, or begins or ends with a blank or begins with a byte order mark.
bool isQuoted(QByteArrayView utf8);

// One value of a row, in the pieces append(QByteArrayView) is given.
template <typename Append>
void appendValue(QByteArrayView utf8, Append&& append)
{
    if (!isQuoted(utf8)) {
        append(utf8);
        return;
    }
    append("\"");
    for (qsizetype quote; (quote = utf8.indexOf('"')) >= 0; utf8 = utf8.sliced(quote + 1)) {
        append(utf8.first(quote + 1));
        append("\"");
    }
    append(utf8);
    append("\"");
}

// One row, its values parted by commas and ended by CR LF. Its values are
// secrets: the caller wipes the row once written.
QByteArray row(const QStringList& cells);

} // namespace CsvFormat
