#include "document/FieldFormats.h"
#include "search/ItemMatcher.h"
#include "search/KeywordPattern.h"

#include <QtTest>

#include <pugixml.hpp>

class TestKeywordMatch : public QObject {
    Q_OBJECT

private slots:
    void matchKeyword_data();
    void matchKeyword();
    void lowerAsciiChangesOnlyAsciiCapitals();
    void matchCaption_data();
    void matchCaption();
    void matchField_data();
    void matchField();
};

void TestKeywordMatch::matchKeyword_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("match");

    QTest::newRow("any case") << "Cardholder"
                              << "CARD" << false << true;
    QTest::newRow("inside a word") << "discard"
                                   << "card" << false << true;
    QTest::newRow("non-ASCII case") << QString::fromUtf8("Émile") << QString::fromUtf8("éMILE") << false << true;
    QTest::newRow("absent") << "my card"
                            << "visa" << false << false;
    QTest::newRow("empty keyword") << "card"
                                   << "" << false << false;
    QTest::newRow("empty text") << ""
                                << "card" << false << false;
    QTest::newRow("both empty") << ""
                                << "" << false << false;

    QTest::newRow("whole: comma and blank") << "my card, old"
                                            << "card" << true << true;
    QTest::newRow("whole: parentheses") << "(card)"
                                        << "card" << true << true;
    QTest::newRow("whole: entire text") << "card"
                                        << "card" << true << true;
    QTest::newRow("whole: address parts") << "card@bank.com"
                                          << "bank" << true << true;
    QTest::newRow("whole: backslash and slash") << "a\\card/b"
                                                << "card" << true << true;
    QTest::newRow("whole: colon and semicolon") << "x:card;y"
                                                << "card" << true << true;
    QTest::newRow("whole: prefix of a word") << "cardboard"
                                             << "card" << true << false;
    QTest::newRow("whole: suffix of a word") << "discard"
                                             << "card" << true << false;
    QTest::newRow("whole: hyphen") << "card-board"
                                   << "card" << true << false;
    QTest::newRow("whole: exclamation mark") << "card!"
                                             << "card" << true << false;
    QTest::newRow("whole: quotes") << "\"card\""
                                   << "card" << true << false;
    QTest::newRow("whole: case-sensitive") << "my Card"
                                           << "card" << true << false;
    QTest::newRow("whole: later occurrence") << "cards card"
                                             << "card" << true << true;
    QTest::newRow("whole: keyword longer than rest") << "my car"
                                                     << "card" << true << false;
    QTest::newRow("whole: end of a stored line") << "first card\r\nsecond\r\n"
                                                 << "card" << true << true;
    QTest::newRow("whole: start of a stored line") << "first\r\ncard two\r\n"
                                                   << "card" << true << true;
    QTest::newRow("whole: tab") << "card\tpin"
                                << "card" << true << true;
    QTest::newRow("whole: empty text") << ""
                                       << "card" << true << false;

    // An empty keyword matches before a delimiter that begins the text or
    // follows another delimiter, but never at the last character.
    QTest::newRow("whole empty: leading blank") << " caption"
                                                << "" << true << true;
    QTest::newRow("whole empty: two blanks inside") << "a  b"
                                                    << "" << true << true;
    QTest::newRow("whole empty: two blanks only") << "  "
                                                  << "" << true << true;
    QTest::newRow("whole empty: single blank inside") << "a b"
                                                      << "" << true << false;
    QTest::newRow("whole empty: blank only") << " "
                                             << "" << true << false;
    QTest::newRow("whole empty: trailing blanks") << "ab  "
                                                  << "" << true << false;
    QTest::newRow("whole empty: no delimiter") << "caption"
                                               << "" << true << false;
    QTest::newRow("whole empty: empty text") << ""
                                             << "" << true << false;
}

void TestKeywordMatch::matchKeyword()
{
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(bool, wholeWords);
    QFETCH(bool, match);
    QCOMPARE(MatchKeyword(text, keyword, wholeWords), match);
}

void TestKeywordMatch::lowerAsciiChangesOnlyAsciiCapitals()
{
    QCOMPARE(lowerAscii("ABC xyz AZ@[`"), QString("abc xyz az@[`"));
    const QString nonAscii = QString::fromUtf8("ÄÖÜ É Σ");
    QCOMPARE(lowerAscii(nonAscii), nonAscii);
}

void TestKeywordMatch::matchCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("match");
    QTest::newRow("capital keyword") << "My card"
                                     << "CARD" << true;
    QTest::newRow("capital caption") << "MY CARD"
                                     << "card" << true;
    QTest::newRow("non-ASCII capital") << QString::fromUtf8("Émile") << QString::fromUtf8("émile") << false;
    QTest::newRow("part of a word") << "Cardboard"
                                    << "card" << false;
}

void TestKeywordMatch::matchCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, keyword);
    QFETCH(bool, match);
    QCOMPARE(ItemMatcher({keyword, true, false}).matchCaption(caption), match);
}

void TestKeywordMatch::matchField_data()
{
    QTest::addColumn<QString>("basicType");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("fieldNames");
    QTest::addColumn<bool>("match");

    const QString shownDate = dateDisplayText("20240502:");
    const QString shownTime = timeDisplayText("143005.");
    QVERIFY(!shownDate.isEmpty() && !shownTime.isEmpty());

    QTest::newRow("text, whole word any case") << "TEXT"
                                               << "Card"
                                               << "Visa Card"
                                               << "CARD" << true << false << true;
    QTest::newRow("long text line end") << "LONG TEXT"
                                        << "Note"
                                        << "old\r\nmy card\r\n"
                                        << "card" << true << false << true;
    QTest::newRow("unknown type as text") << "text"
                                          << "Card"
                                          << "Gold Card"
                                          << "gold" << true << false << true;
    QTest::newRow("text holding date digits") << "TEXT"
                                              << "Ref"
                                              << "20240502:"
                                              << "20240502" << false << false << true;
    QTest::newRow("date as shown") << "DATE"
                                   << "Bought"
                                   << "20240502:" << shownDate << true << false << true;
    QTest::newRow("date stored digits") << "DATE"
                                        << "Bought"
                                        << "20240502:"
                                        << "20240502" << false << false << false;
    QTest::newRow("date unreadable") << "DATE"
                                     << "Bought"
                                     << "garbage"
                                     << "garbage" << false << false << false;
    // Date and time texts are not lower-cased: in whole-word mode the case of
    // a month name must agree (only where the date shows one).
    if (shownDate != shownDate.toUpper()) {
        QTest::newRow("date other case, whole") << "DATE"
                                                << "Bought"
                                                << "20240502:" << shownDate.toUpper() << true << false << false;
        QTest::newRow("date other case, anywhere") << "DATE"
                                                   << "Bought"
                                                   << "20240502:" << shownDate.toUpper() << false << false << true;
    }
    QTest::newRow("time as shown") << "TIME"
                                   << "At"
                                   << "143005." << shownTime << true << false << true;
    QTest::newRow("time stored digits") << "TIME"
                                        << "At"
                                        << "143005."
                                        << "143005" << false << false << false;
    QTest::newRow("name, option off") << "TEXT"
                                      << "PIN Code"
                                      << "1234"
                                      << "pin" << false << false << false;
    QTest::newRow("name, option on") << "TEXT"
                                     << "PIN Code"
                                     << "1234"
                                     << "pin" << true << true << true;
    QTest::newRow("date name, option on") << "DATE"
                                          << "Bought"
                                          << "20240502:"
                                          << "BOUGHT" << true << true << true;
    QTest::newRow("date digits, option on") << "DATE"
                                            << "Bought"
                                            << "20240502:"
                                            << "20240502" << false << true << false;
}

void TestKeywordMatch::matchField()
{
    QFETCH(QString, basicType);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, keyword);
    QFETCH(bool, wholeWords);
    QFETCH(bool, fieldNames);
    QFETCH(bool, match);

    pugi::xml_document document;
    pugi::xml_node field = document.append_child("field");
    field.append_attribute("name").set_value(name.toUtf8().constData());
    field.append_attribute("basic_type").set_value(basicType.toUtf8().constData());
    field.text().set(value.toUtf8().constData());
    QCOMPARE(ItemMatcher({keyword, wholeWords, fieldNames}).matchField(field), match);
}

QTEST_GUILESS_MAIN(TestKeywordMatch)
#include "tst_keywordpattern.moc"
