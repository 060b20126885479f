#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

class CaptionTable;

// The value type of a field. A value is always text; the type is the field's
// `basic_type` attribute.
enum class FieldType { Text, LongText, EMail, Number, Date, Time, Phone };

// The seven types in the order the new field window lists them.
const QList<FieldType>& allFieldTypes();

// "TEXT", "LONG TEXT", "E-MAIL", ...: the upper-case English name.
QString storedTypeName(FieldType type);
// The type whose stored name equals basicType exactly (case-sensitive).
std::optional<FieldType> fieldTypeFromStored(const QString& basicType);
// "Text", "Long Text", "E-Mail", ...: also the default caption.
QString englishTypeName(FieldType type);
// "FieldText", "FieldLongText", "FieldEMail", ...
QString typeCaptionKey(FieldType type);

// Stored date: four-digit year, zero-based month and day, then ":"
// (3 June 2024 is "20240502:"). Empty for a date that has no such form.
QString FormatStoredDate(const QDate& date);
// Stored time: "hhmmss" on a 24-hour clock, then "." (14:30:05 is "143005.").
// Empty for an invalid time.
QString FormatStoredTime(const QTime& time);

// Reads characters 1-4 as the year, 5-6 and 7-8 as zero-based month and day;
// the rest is ignored. Every part must consist of ASCII digits; the year is
// taken as written (no century guessing). Fails unless it names a real date.
std::optional<QDate> ParseStoredDate(const QString& text);
// Reads characters 1-2, 3-4 and 5-6 as hour, minute and second; the rest is
// ignored. Every part must be one or two ASCII digits within the clock's range.
std::optional<QTime> ParseStoredTime(const QString& text);

// The address rule of the E-Mail type: one "@" and one "." with letters,
// digits, "-" and "_" around them, neither at the ends nor next to a separator.
bool IsValidEMail(const QString& text);

// The English type name whose caption (in captions, case-insensitive) is
// caption; empty when none is. Of two types with the same caption the later
// one wins.
QString FieldTypeFromCaption(const QString& caption, const CaptionTable& captions);

// How a stored Date or Time value reads to the user: the locale's medium date
// format with a four-digit year, or its long time format without the time
// zone; empty when the stored text does not parse. The editor's pickers show
// the same formats, so a search compares against what the user sees. The
// default locale is the chosen language's in the program, the system's in
// the command-line tool.
QString dateDisplayFormat(const QLocale& locale = QLocale());
QString timeDisplayFormat(const QLocale& locale = QLocale());
QString dateDisplayText(const QString& storedDate, const QLocale& locale = QLocale());
QString timeDisplayText(const QString& storedTime, const QLocale& locale = QLocale());

// A Long Text value is stored as its lines, each ended by CR LF. Lines are
// read at CR LF, LF or CR; a break at the very end starts no further line, so
// the empty text has no lines and rewriting a value never makes it grow.
QStringList longTextLines(const QString& text);
QString storedLongText(const QString& text);
// Every kind of line break in text as CR LF; storedLongText also ends an
// open last line, which endsOpenLine tells.
QString withStoredLineBreaks(QStringView text);
bool endsOpenLine(QStringView text);
