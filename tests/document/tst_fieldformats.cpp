#include "config/CaptionTable.h"
#include "document/FieldFormats.h"

#include <QtTest>

class TestFieldFormats : public QObject {
    Q_OBJECT

private slots:
    void typeNames_data();
    void typeNames();
    void storedTypeComparesExactly();
    void formatStoredDate_data();
    void formatStoredDate();
    void formatStoredTime_data();
    void formatStoredTime();
    void parseStoredDate_data();
    void parseStoredDate();
    void parseStoredTime_data();
    void parseStoredTime();
    void isValidEMail_data();
    void isValidEMail();
    void fieldTypeFromCaption_data();
    void fieldTypeFromCaption();
    void displayText_data();
    void displayText();
};

void TestFieldFormats::typeNames_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("captionKey");
    QTest::newRow("Text") << 0 << "TEXT"
                          << "Text"
                          << "FieldText";
    QTest::newRow("Long Text") << 1 << "LONG TEXT"
                               << "Long Text"
                               << "FieldLongText";
    QTest::newRow("E-Mail") << 2 << "E-MAIL"
                            << "E-Mail"
                            << "FieldEMail";
    QTest::newRow("Number") << 3 << "NUMBER"
                            << "Number"
                            << "FieldNumber";
    QTest::newRow("Date") << 4 << "DATE"
                          << "Date"
                          << "FieldDate";
    QTest::newRow("Time") << 5 << "TIME"
                          << "Time"
                          << "FieldTime";
    QTest::newRow("Phone") << 6 << "PHONE"
                           << "Phone"
                           << "FieldPhone";
}

void TestFieldFormats::typeNames()
{
    QFETCH(int, position);
    QFETCH(QString, stored);
    QFETCH(QString, english);
    QFETCH(QString, captionKey);
    QCOMPARE(allFieldTypes().size(), 7);
    const FieldType type = allFieldTypes().at(position);
    QCOMPARE(storedTypeName(type), stored);
    QCOMPARE(englishTypeName(type), english);
    QCOMPARE(typeCaptionKey(type), captionKey);
    QCOMPARE(fieldTypeFromStored(stored), type);
}

void TestFieldFormats::storedTypeComparesExactly()
{
    QCOMPARE(fieldTypeFromStored("LONG TEXT"), FieldType::LongText);
    for (const char* other : {"Text", "text", "TEXT ", "LONGTEXT", "EMAIL", ""})
        QVERIFY2(!fieldTypeFromStored(other), other);
}

void TestFieldFormats::formatStoredDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("stored");
    QTest::newRow("3 June 2024") << QDate(2024, 6, 3) << "20240502:";
    QTest::newRow("1 January") << QDate(2000, 1, 1) << "20000000:";
    QTest::newRow("31 December") << QDate(1999, 12, 31) << "19991130:";
    QTest::newRow("leap day") << QDate(2024, 2, 29) << "20240128:";
    QTest::newRow("year below 1000") << QDate(99, 7, 4) << "00990603:";
    QTest::newRow("invalid date") << QDate() << "";
    QTest::newRow("five-digit year") << QDate(10000, 1, 1) << "";
}

void TestFieldFormats::formatStoredDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, stored);
    QCOMPARE(FormatStoredDate(date), stored);
    if (!stored.isEmpty())
        QCOMPARE(ParseStoredDate(stored), date);
}

void TestFieldFormats::formatStoredTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("stored");
    QTest::newRow("afternoon") << QTime(14, 30, 5) << "143005.";
    QTest::newRow("midnight") << QTime(0, 0, 0) << "000000.";
    QTest::newRow("last second") << QTime(23, 59, 59) << "235959.";
    QTest::newRow("one-digit parts") << QTime(9, 5, 7) << "090507.";
    QTest::newRow("milliseconds dropped") << QTime(8, 0, 1, 999) << "080001.";
    QTest::newRow("invalid time") << QTime() << "";
}

void TestFieldFormats::formatStoredTime()
{
    QFETCH(QTime, time);
    QFETCH(QString, stored);
    QCOMPARE(FormatStoredTime(time), stored);
    if (!stored.isEmpty())
        QCOMPARE(ParseStoredTime(stored), QTime(time.hour(), time.minute(), time.second()));
}

void TestFieldFormats::parseStoredDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: the text must not read
    QTest::newRow("stored form") << "20240502:" << QDate(2024, 6, 3);
    QTest::newRow("without colon") << "20240502" << QDate(2024, 6, 3);
    QTest::newRow("trailing text ignored") << "20241130xyz" << QDate(2024, 12, 31);
    QTest::newRow("leap day") << "20240128:" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "20230128:" << QDate();
    QTest::newRow("month part 12") << "20241200:" << QDate();
    QTest::newRow("day 31 in April") << "20240330:" << QDate();
    QTest::newRow("year as written") << "00990000:" << QDate(99, 1, 1);
    QTest::newRow("year zero") << "00000000:" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("month not digits") << "2024ab02:" << QDate();
    QTest::newRow("month with sign") << "2024+502:" << QDate();
    QTest::newRow("day with blank") << "202405 2:" << QDate();
    QTest::newRow("year not digits") << "2O240502:" << QDate();
    QTest::newRow("day missing") << "202405" << QDate();
    QTest::newRow("one-digit day") << "2024050" << QDate(2024, 6, 1);
}

void TestFieldFormats::parseStoredDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const std::optional<QDate> parsed = ParseStoredDate(text);
    QCOMPARE(parsed.has_value(), date.isValid());
    if (parsed)
        QCOMPARE(*parsed, date);
}

void TestFieldFormats::parseStoredTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("time"); // invalid: the text must not read
    QTest::newRow("stored form") << "143005." << QTime(14, 30, 5);
    QTest::newRow("without period") << "143005" << QTime(14, 30, 5);
    QTest::newRow("trailing text ignored") << "0000009999" << QTime(0, 0, 0);
    QTest::newRow("last second") << "235959." << QTime(23, 59, 59);
    QTest::newRow("hour 24") << "240000." << QTime();
    QTest::newRow("minute 60") << "126000." << QTime();
    QTest::newRow("second 60") << "120060." << QTime();
    QTest::newRow("second part empty") << "123" << QTime();
    QTest::newRow("one-digit second") << "12345" << QTime(12, 34, 5);
    QTest::newRow("empty") << "" << QTime();
    QTest::newRow("letter") << "12a005." << QTime();
    QTest::newRow("blank") << " 23005." << QTime();
}

void TestFieldFormats::parseStoredTime()
{
    QFETCH(QString, text);
    QFETCH(QTime, time);
    const std::optional<QTime> parsed = ParseStoredTime(text);
    QCOMPARE(parsed.has_value(), time.isValid());
    if (parsed)
        QCOMPARE(*parsed, time);
}

void TestFieldFormats::isValidEMail_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "john@example.com" << true;
    QTest::newRow("all allowed characters") << "J_o-1@Mail-2.c_3" << true;
    QTest::newRow("shortest") << "a@b.c" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot in local part") << "john.doe@example.com" << false;
    QTest::newRow("two dots in domain") << "john@mail.example.com" << false;
    QTest::newRow("dot right after @") << "john@.com" << false;
    QTest::newRow("starts with @") << "@example.com" << false;
    QTest::newRow("two @") << "john@@example.com" << false;
    QTest::newRow("no @") << "john.example.com" << false;
    QTest::newRow("no dot") << "john@example" << false;
    QTest::newRow("ends with dot") << "john@example." << false;
    QTest::newRow("hyphen before @") << "john-@example.com" << false;
    QTest::newRow("underscore after @") << "john@_example.com" << false;
    QTest::newRow("underscore before dot") << "john@example_.com" << false;
    QTest::newRow("hyphen after dot") << "john@example.-com" << false;
    QTest::newRow("space") << "john doe@example.com" << false;
    QTest::newRow("trailing space") << "john@example.com " << false;
    QTest::newRow("exclamation mark") << "john@example.com!" << false;
    QTest::newRow("non-ASCII letter") << QString::fromUtf8("jöhn@example.com") << false;
    QTest::newRow("non-ASCII only in domain") << QString::fromUtf8("john@exämple.com") << false;
}

void TestFieldFormats::isValidEMail()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidEMail(text), valid);
}

void TestFieldFormats::fieldTypeFromCaption_data()
{
    QTest::addColumn<QStringList>("languageLines");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("english");
    const QStringList english;
    QTest::newRow("default caption") << english << "Long Text"
                                     << "Long Text";
    QTest::newRow("other case") << english << "e-mail"
                                << "E-Mail";
    QTest::newRow("unknown caption") << english << "Colour"
                                     << "";
    QTest::newRow("empty caption") << english << ""
                                   << "";
    const QStringList german = {"FieldDate=Datum", "FieldTime=Uhrzeit"};
    QTest::newRow("translated") << german << "DATUM"
                                << "Date";
    QTest::newRow("default replaced") << german << "Date"
                                      << "";
    QTest::newRow("untranslated type") << german << "Phone"
                                       << "Phone";
    const QStringList clash = {"FieldText=Wert", "FieldNumber=wert", "FieldPhone=Nummer"};
    QTest::newRow("last match wins") << clash << "Wert"
                                     << "Number";
}

void TestFieldFormats::fieldTypeFromCaption()
{
    QFETCH(QStringList, languageLines);
    QFETCH(QString, caption);
    QFETCH(QString, english);
    CaptionTable captions;
    captions.setLines(NameValueList(languageLines));
    QCOMPARE(FieldTypeFromCaption(caption, captions), english);
}

void TestFieldFormats::displayText_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    // Dates in the locale's medium format: short month names, no day of the
    // week (whatever sets it off goes with it), four-digit years.
    QTest::newRow("German, all digits") << "de_DE"
                                        << "03.06.2024"
                                        << "14:30:05";
    QTest::newRow("American") << "en_US"
                              << "Jun 3, 2024"
                              << "2:30:05 PM";
    QTest::newRow("French") << "fr_FR"
                            << "3 juin 2024"
                            << "14:30:05";
    QTest::newRow("Russian") << "ru_RU" << QString::fromUtf8("3 июн. 2024 г.") << "14:30:05";
    QTest::newRow("zone in brackets") << "ca_ES"
                                      << "3 de juny de 2024"
                                      << "14:30:05";
    QTest::newRow("zone after comma") << "be_BY" << QString::fromUtf8("3 чэр 2024 г.") << "14:30:05";
    QTest::newRow("zone in front, weekday after the date")
        << "zh_HK" << QString::fromUtf8("2024年6月3日") << QString::fromUtf8("下午2:30:05");
    QTest::newRow("year first, weekday last") << "hu_HU" << QString::fromUtf8("2024. jún. 3.") << "14:30:05";
    QTest::newRow("weekday set off by a word")
        << "th_TH" << QString::fromUtf8("3 มิ.ย. 2024") << QString::fromUtf8("14 นาฬิกา 30 นาที 05 วินาที");
    QTest::newRow("quoted text after the year")
        << "bg_BG" << QString::fromUtf8("3 юни 2024 г.") << QString::fromUtf8("14:30:05 ч.");
}

void TestFieldFormats::displayText()
{
    QFETCH(QString, localeName);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const QLocale locale(localeName);
    QCOMPARE(dateDisplayText("20240502:", locale), date);
    QCOMPARE(timeDisplayText("143005.", locale), time);
    QCOMPARE(dateDisplayText("20241200:", locale), QString());
    QCOMPARE(timeDisplayText("240000.", locale), QString());
}

QTEST_GUILESS_MAIN(TestFieldFormats)
#include "tst_fieldformats.moc"
