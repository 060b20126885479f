#include "document/interchange/CsvReader.h"

#include "base/SecureWipe.h"

#include <QStringDecoder>

#include <algorithm>
#include <iterator>

namespace {

constexpr char Quote = '"';
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

bool endsRow(char c)
{
    return c == '\n' || c == '\r';
}

// Qt drops a byte order mark at the start of what it decodes; inside a file
// it is a character of a value like any other.
QString decoded(QByteArrayView utf8)
{
    if (!utf8.startsWith(ByteOrderMark))
        return QString::fromUtf8(utf8);
    QStringDecoder keepingMarks(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return keepingMarks(utf8);
}

} // namespace

CsvReader::CsvReader(QByteArrayView text, char separator, Quoting quoting)
    : m_text(text)
    , m_separator(separator)
    , m_quoting(quoting)
{
    if (m_text.startsWith(ByteOrderMark))
        m_at = ByteOrderMark.size();
}

char CsvReader::separatorOf(QByteArrayView text)
{
    const char candidates[] = {CsvFormat::Separator, ';', '\t'};
    int counts[std::size(candidates)] = {};
    bool quoted = false;
    for (const char c : text) {
        if (c == Quote)
            quoted = !quoted;
        else if (!quoted && endsRow(c))
            break;
        for (size_t i = 0; i < std::size(candidates); ++i)
            counts[i] += !quoted && c == candidates[i] ? 1 : 0;
    }
    const int* most = std::max_element(std::begin(counts), std::end(counts));
    return *most > 0 ? candidates[most - std::begin(counts)] : CsvFormat::Separator;
}

bool CsvReader::fail(qsizetype line, const QString& problem)
{
    m_error = QStringLiteral("line %1: %2").arg(line).arg(problem);
    return false;
}

// From just after an opening quote to just after the closing one. The value
// is decoded in pieces between escaped quotes, so a huge value is held once
// as text besides the input.
bool CsvReader::readQuoted(QString& cell)
{
    const qsizetype openedOn = m_line;
    qsizetype from = m_at;
    const auto takeUpTo = [&](qsizetype end) {
        const QByteArrayView piece = m_text.sliced(from, end - from);
        m_line += piece.count('\n');
        cell += decoded(piece);
    };
    for (;;) {
        const qsizetype quote = m_text.indexOf(Quote, m_at);
        if (quote < 0)
            return fail(openedOn, QStringLiteral("a quoted value is not closed"));
        if (m_quoting == Quoting::Backslash) {
            const qsizetype backslash = m_text.first(quote).indexOf('\\', m_at);
            if (backslash >= 0 && (backslash + 1 == quote || m_text.at(backslash + 1) == '\\')) {
                takeUpTo(backslash);
                cell += QLatin1Char(m_text.at(backslash + 1));
                from = m_at = backslash + 2;
                continue;
            }
            if (backslash >= 0) {
                // A backslash before any other character is that character.
                m_at = backslash + 1;
                continue;
            }
        }
        takeUpTo(quote);
        m_at = quote + 1;
        if (m_at < m_text.size() && m_text.at(m_at) == Quote) {
            cell += QLatin1Char(Quote);
            from = ++m_at;
            continue;
        }
        if (m_at < m_text.size() && m_text.at(m_at) != m_separator && !endsRow(m_text.at(m_at)))
            return fail(m_line, QStringLiteral("text after the closing quote of a value"));
        return true;
    }
}

std::optional<QStringList> CsvReader::nextRow()
{
    if (!m_error.isEmpty())
        return std::nullopt;
    // Empty lines are no rows.
    while (m_at < m_text.size() && endsRow(m_text.at(m_at))) {
        if (m_text.at(m_at) == '\n')
            ++m_line;
        ++m_at;
    }
    if (m_at >= m_text.size())
        return std::nullopt;
    m_rowLine = m_line;
    QStringList cells;
    for (;;) {
        QString cell;
        if (m_at < m_text.size() && m_text.at(m_at) == Quote) {
            ++m_at;
            if (!readQuoted(cell))
                return std::nullopt;
        } else {
            qsizetype end = m_at;
            while (end < m_text.size() && m_text.at(end) != m_separator && !endsRow(m_text.at(end)))
                ++end;
            cell = decoded(m_text.sliced(m_at, end - m_at));
            m_at = end;
        }
        cells.append(std::move(cell));
        if (m_at >= m_text.size())
            return cells;
        if (m_text.at(m_at) == m_separator) {
            ++m_at;
            continue;
        }
        // CR LF, LF or a lone CR ends the row.
        if (m_text.at(m_at) == '\r' && m_at + 1 < m_text.size() && m_text.at(m_at + 1) == '\n')
            ++m_at;
        if (m_text.at(m_at) == '\n')
            ++m_line;
        ++m_at;
        return cells;
    }
}

namespace CsvFormat {

bool isQuoted(QByteArrayView utf8)
{
    // One look at each byte: most values are short.
    const bool special = std::any_of(utf8.begin(), utf8.end(), [](char c) {
        return c == CsvFormat::Separator || c == Quote || c == '\n' || c == '\r';
    });
    return special || utf8.startsWith(' ') || utf8.endsWith(' ') || utf8.startsWith(ByteOrderMark);
}

QByteArray row(const QStringList& cells)
{
    // An empty line is no row, so a row of one empty value is quoted.
    if (cells.size() == 1 && cells.first().isEmpty())
        return "\"\"\r\n";
    // Room for every value quoted with each of its bytes doubled, so that
    // the line never moves to a larger allocation and leaves a copy behind.
    qsizetype room = RowEnd.size();
    for (const QString& cell : cells)
        room += 3 * cell.size() * 2 + 3;
    QByteArray line;
    line.reserve(room);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += Separator;
        QByteArray value = cells.at(i).toUtf8();
        const SecureWipe::WipeOnExit forget(value);
        appendValue(value, [&line](QByteArrayView piece) { line += piece; });
    }
    line += RowEnd;
    return line;
}

} // namespace CsvFormat
