// Stored field values as the record editor and the search read them: the
// date and time forms and the e-mail check, on the input as text.
#include "FuzzCheck.h"

#include "document/FieldFormats.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // A value that reads is written back in a form that reads as the same value.
    if (const std::optional<QDate> date = ParseStoredDate(text))
        require(ParseStoredDate(FormatStoredDate(*date)) == date, "a read date is written back as itself");
    if (const std::optional<QTime> time = ParseStoredTime(text))
        require(ParseStoredTime(FormatStoredTime(*time)) == time, "a read time is written back as itself");

    dateDisplayText(text);
    timeDisplayText(text);

    if (IsValidEMail(text))
        require(text.count(u'@') == 1, "a valid address has one @");
    return 0;
}
