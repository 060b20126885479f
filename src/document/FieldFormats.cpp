#include "document/FieldFormats.h"

#include "config/CaptionTable.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace {

struct TypeNames {
    FieldType type;
    const char* stored;
    const char* english;
    const char* captionKey;
};

// In the canonical order.
constexpr std::array<TypeNames, 7> typeTable = {{
    {FieldType::Text, "TEXT", "Text", "FieldText"},
    {FieldType::LongText, "LONG TEXT", "Long Text", "FieldLongText"},
    {FieldType::EMail, "E-MAIL", "E-Mail", "FieldEMail"},
    {FieldType::Number, "NUMBER", "Number", "FieldNumber"},
    {FieldType::Date, "DATE", "Date", "FieldDate"},
    {FieldType::Time, "TIME", "Time", "FieldTime"},
    {FieldType::Phone, "PHONE", "Phone", "FieldPhone"},
}};

const TypeNames& namesOf(FieldType type)
{
    return typeTable[static_cast<std::size_t>(type)];
}

// The value of a non-empty run of ASCII digits; nothing for any other text.
// (QString::toInt would also take blanks, signs and non-ASCII digits.)
std::optional<int> readDigits(QStringView part)
{
    if (part.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : part) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// Stored month and day are zero-based; an unreadable part becomes 0, which no
// calendar accepts.
int oneBased(QStringView part)
{
    const std::optional<int> value = readDigits(part);
    return value ? *value + 1 : 0;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The first occurrence of separator must have a neighbour on either side, and
// neither neighbour may be one of forbidden.
bool separatorWellPlaced(const QString& text, QChar separator, QStringView forbidden)
{
    const qsizetype at = text.indexOf(separator);
    if (at <= 0 || at == text.size() - 1)
        return false;
    return !forbidden.contains(text.at(at - 1)) && !forbidden.contains(text.at(at + 1));
}

// A time of day has no zone, so the zone field ("t", with the blank, comma or
// brackets that set it off) is left out of the long format: the text then
// does not change with the machine's time zone or the season.
QString longTimeFormatWithoutZone(const QLocale& locale)
{
    static const QRegularExpression zoneField(QStringLiteral(R"(^t\s+|,?\s*[(\[]?\bt[)\]]?$)"));
    return locale.timeFormat(QLocale::LongFormat).remove(zoneField);
}

bool isAddressCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.'
           || c == u'_' || c == u'@';
}

} // namespace

const QList<FieldType>& allFieldTypes()
{
    static const QList<FieldType> types = [] {
        QList<FieldType> list;
        for (const TypeNames& names : typeTable)
            list.append(names.type);
        return list;
    }();
    return types;
}

QString storedTypeName(FieldType type)
{
    return QString::fromLatin1(namesOf(type).stored);
}

std::optional<FieldType> fieldTypeFromStored(const QString& basicType)
{
    const auto found = std::find_if(typeTable.begin(), typeTable.end(),
                                    [&](const TypeNames& names) { return basicType == QLatin1String(names.stored); });
    if (found == typeTable.end())
        return std::nullopt;
    return found->type;
}

QString englishTypeName(FieldType type)
{
    return QString::fromLatin1(namesOf(type).english);
}

QString typeCaptionKey(FieldType type)
{
    return QString::fromLatin1(namesOf(type).captionKey);
}

QString FormatStoredDate(const QDate& date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return QStringLiteral("%1%2%3:")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(twoDigits(date.month() - 1), twoDigits(date.day() - 1));
}

QString FormatStoredTime(const QTime& time)
{
    if (!time.isValid())
        return {};
    return twoDigits(time.hour()) + twoDigits(time.minute()) + twoDigits(time.second()) + QLatin1Char('.');
}

std::optional<QDate> ParseStoredDate(const QString& text)
{
    const QStringView digits(text);
    const std::optional<int> year = readDigits(digits.mid(0, 4));
    if (!year)
        return std::nullopt;
    const QDate date(*year, oneBased(digits.mid(4, 2)), oneBased(digits.mid(6, 2)));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> ParseStoredTime(const QString& text)
{
    const QStringView digits(text);
    const std::optional<int> hour = readDigits(digits.mid(0, 2));
    const std::optional<int> minute = readDigits(digits.mid(2, 2));
    const std::optional<int> second = readDigits(digits.mid(4, 2));
    if (!hour || !minute || !second || !QTime::isValid(*hour, *minute, *second))
        return std::nullopt;
    return QTime(*hour, *minute, *second);
}

bool IsValidEMail(const QString& text)
{
    // Without UseUnicodePropertiesOption \w and \d stay ASCII-only.
    static const QRegularExpression shape(QStringLiteral(R"([\w\d\-\.]+@[\w\d\-]+(\.[\w\d\-]+)+)"));
    return shape.match(text).hasMatch() && separatorWellPlaced(text, u'@', u"-._")
           && separatorWellPlaced(text, u'.', u"-@_") && text.count(u'@') == 1 && text.count(u'.') == 1
           && std::all_of(text.begin(), text.end(), isAddressCharacter);
}

QString FieldTypeFromCaption(const QString& caption, const CaptionTable& captions)
{
    const QString wanted = caption.toUpper();
    QString result;
    for (const FieldType type : allFieldTypes()) {
        const QString typeCaption = captions.GetCaption(typeCaptionKey(type), englishTypeName(type));
        if (typeCaption.toUpper() == wanted)
            result = englishTypeName(type);
    }
    return result;
}

QString dateDisplayFormat(const QLocale& locale)
{
    // Qt has no medium format. It is the long one without the day of the
    // week and with short month names ("Jun 3, 2024", "3 juin 2024"), except
    // in German, whose medium format is all digits.
    const QString longFormat =
        locale.language() == QLocale::German ? QStringLiteral("dd.MM.yyyy") : locale.dateFormat(QLocale::LongFormat);
    const auto isBlankOrComma = [](QChar c) { return c.isSpace() || c == u',' || c == u'\u060C'; };
    const auto isFieldLetter = [](QChar c) { return c == u'd' || c == u'M' || c == u'y'; };
    QString format;
    bool quoted = false;
    for (qsizetype i = 0; i < longFormat.size();) {
        const QChar c = longFormat.at(i);
        if (quoted || !isFieldLetter(c)) {
            quoted = quoted != (c == u'\'');
            format += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i < longFormat.size() && longFormat.at(i) == c) {
            ++run;
            ++i;
        }
        if (c == u'd' && run > 2) {
            // The day of the week goes with what sets it off: in front, all
            // up to the date; behind, the comma and blanks before it.
            while (!format.isEmpty() && isBlankOrComma(format.back()))
                format.chop(1);
            while (format.isEmpty() && i < longFormat.size() && !isFieldLetter(longFormat.at(i))
                   && longFormat.at(i) != u'\'')
                ++i;
        } else if (c == u'y') {
            // A two-digit year shows 1960 and 2060 alike and reads "85" as 2085.
            format += QStringLiteral("yyyy");
        } else {
            format += QString(c == u'M' ? std::min<qsizetype>(run, 3) : run, c);
        }
    }
    return format;
}

QString timeDisplayFormat(const QLocale& locale)
{
    return longTimeFormatWithoutZone(locale);
}

QString dateDisplayText(const QString& storedDate, const QLocale& locale)
{
    const std::optional<QDate> date = ParseStoredDate(storedDate);
    return date ? locale.toString(*date, dateDisplayFormat(locale)) : QString();
}

QString timeDisplayText(const QString& storedTime, const QLocale& locale)
{
    const std::optional<QTime> time = ParseStoredTime(storedTime);
    return time ? locale.toString(*time, timeDisplayFormat(locale)) : QString();
}

QStringList longTextLines(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\n|\\r"));
    QStringList lines = text.split(lineBreak);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString withStoredLineBreaks(QStringView text)
{
    // One pass into one string: a value of many megabytes is not held as
    // a list of its lines besides.
    QString stored;
    stored.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            stored += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        stored += QStringLiteral("\r\n");
    }
    return stored;
}

bool endsOpenLine(QStringView text)
{
    return !text.isEmpty() && text.back() != u'\r' && text.back() != u'\n';
}

QString storedLongText(const QString& text)
{
    QString stored = withStoredLineBreaks(text);
    if (endsOpenLine(text))
        stored += QStringLiteral("\r\n");
    return stored;
}
