// The CSV reader: any input is read to its end or refused with a line
// number, rows written again read back as they were, and an import's text
// is the one the document writes.
#include "CheckingSink.h"
#include "ImportedText.h"

#include "document/interchange/CsvEntries.h"
#include "document/interchange/CsvReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckingSink sink;
    QString error;
    if (!CsvEntries::read(bytes, sink, &error))
        require(error.startsWith(QStringLiteral("line ")), "a refusal names the line");
    checkImportedText(bytes, Interchange::Format::Csv);

    CsvReader reader(bytes);
    QList<QStringList> rows;
    QByteArray written;
    while (const std::optional<QStringList> row = reader.nextRow()) {
        rows.append(*row);
        written += CsvFormat::row(*row);
    }
    if (!reader.error().isEmpty())
        return 0;
    CsvReader again(written);
    for (const QStringList& row : rows)
        require(again.nextRow() == row, "a written row reads back unchanged");
    require(!again.nextRow() && again.error().isEmpty(), "nothing follows the written rows");
    return 0;
}
