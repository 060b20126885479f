#include "base/CodePage.h"
#include "base/TextEncoding.h"
#include "datafile/DataFile.h"
#include "datafile/PasswordGenerator.h"

#include <QSet>
#include <QtTest>

using namespace PasswordGenerator;

namespace {

Rules rulesOf(int length, const QString& groups, bool avoidLookAlikes = false)
{
    Rules rules;
    rules.length = length;
    rules.choose(CharacterGroup::Upper, groups.contains('U'));
    rules.choose(CharacterGroup::Lower, groups.contains('L'));
    rules.choose(CharacterGroup::Digits, groups.contains('D'));
    rules.choose(CharacterGroup::Symbols, groups.contains('S'));
    rules.avoidLookAlikes = avoidLookAlikes;
    return rules;
}

// The characters of a group, written out.
const QString Upper = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString Lower = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
const QString Digits = QStringLiteral("0123456789");
const QString Symbols = QStringLiteral("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
const QString LookAlikes = QStringLiteral("0Oo1lI|'`\"");

} // namespace

Q_DECLARE_METATYPE(PasswordGenerator::Rules)

class TestPasswordGenerator : public QObject {
    Q_OBJECT

private slots:
    void drawsKeepToTheRules_data();
    void drawsKeepToTheRules();
    void entropyOfKnownAlphabets_data();
    void entropyOfKnownAlphabets();
    void dataFilePasswordsFitEveryCodePage();
};

void TestPasswordGenerator::drawsKeepToTheRules_data()
{
    QTest::addColumn<Rules>("rules");
    QTest::addColumn<QStringList>("groups"); // each must show in every password
    QTest::addColumn<int>("draws");

    QTest::newRow("all groups, default length") << Rules() << QStringList{Upper, Lower, Digits, Symbols} << 500;
    QTest::newRow("all groups, shortest") << rulesOf(4, "ULDS") << QStringList{Upper, Lower, Digits, Symbols} << 2000;
    QTest::newRow("symbols and lower") << rulesOf(5, "LS") << QStringList{Lower, Symbols} << 1000;
    QTest::newRow("longest") << rulesOf(128, "UD") << QStringList{Upper, Digits} << 50;

    auto without = [](QString characters) {
        for (const QChar c : LookAlikes)
            characters.remove(c);
        return characters;
    };
    QTest::newRow("no look-alikes, all groups")
        << rulesOf(4, "ULDS", true) << QStringList{without(Upper), without(Lower), without(Digits), without(Symbols)}
        << 2000;
    QTest::newRow("no look-alikes, digits") << rulesOf(8, "D", true) << QStringList{QStringLiteral("23456789")} << 500;
}

// Over many draws: the length, only chosen characters, every chosen group in
// each password, and every chosen character drawn at some point.
void TestPasswordGenerator::drawsKeepToTheRules()
{
    QFETCH(Rules, rules);
    QFETCH(QStringList, groups);
    QFETCH(int, draws);
    const QString allowed = groups.join(QString());
    QSet<QChar> seen;
    for (int draw = 0; draw < draws; ++draw) {
        const QString password = generate(rules);
        QCOMPARE(password.size(), rules.length);
        for (const QChar c : password) {
            QVERIFY2(allowed.contains(c), qPrintable(password));
            seen.insert(c);
        }
        for (const QString& group : groups) {
            QVERIFY2(std::any_of(password.cbegin(), password.cend(), [&](QChar c) { return group.contains(c); }),
                     qPrintable(password + " lacks one of " + group));
        }
    }
    QCOMPARE(seen.size(), allowed.size());
}

// Figures worked out by counting the passwords that hold every chosen group.
void TestPasswordGenerator::entropyOfKnownAlphabets_data()
{
    QTest::addColumn<Rules>("rules");
    QTest::addColumn<double>("bits");
    QTest::newRow("4 digits: 10^4") << rulesOf(4, "D") << 13.2877;
    QTest::newRow("4 digits, no look-alikes: 8^4") << rulesOf(4, "D", true) << 12.0;
    QTest::newRow("4 letters of both cases") << rulesOf(4, "UL") << 22.6091;
    QTest::newRow("4 of all groups") << rulesOf(4, "ULDS") << 22.3078;
    QTest::newRow("20 of all groups") << rulesOf(20, "ULDS") << 130.9259;
    QTest::newRow("16 of all groups, no look-alikes") << rulesOf(16, "ULDS", true) << 101.9347;
    QTest::newRow("128 of all groups") << rulesOf(128, "ULDS") << 838.9874;
    // Rules that give no password.
    QTest::newRow("no group") << rulesOf(20, QString()) << 0.0;
    QTest::newRow("too short") << rulesOf(3, "ULDS") << 0.0;
    QTest::newRow("too long") << rulesOf(129, "ULDS") << 0.0;
}

void TestPasswordGenerator::entropyOfKnownAlphabets()
{
    QFETCH(Rules, rules);
    QFETCH(double, bits);
    QVERIFY2(std::abs(entropyBits(rules) - bits) < 0.001, qPrintable(QString::number(entropyBits(rules))));
    QCOMPARE(generate(rules).isEmpty(), bits == 0.0);
}

// Whatever code page the file key is made in, a data file's password made
// of any of the generator's characters can be typed as shown and makes a key.
void TestPasswordGenerator::dataFilePasswordsFitEveryCodePage()
{
    const int length = fixedLength(Purpose::DataFilePassword);
    QCOMPARE(length, DataFile::MaxPasswordLength);
    QCOMPARE(fixedLength(Purpose::AnyField), 0);
    const QString everyCharacter = Upper + Lower + Digits + Symbols;
    for (int number : CodePage::offered()) {
        TextEncoding::setOlderFilesCodePage(*CodePage::fromNumber(number));
        for (qsizetype from = 0; from < everyCharacter.size(); from += length)
            QVERIFY2(DataFile::MakeFileKey(everyCharacter.mid(from, length)), qPrintable(QString::number(number)));
    }
    TextEncoding::setOlderFilesCodePage(CodePage::windows1252());
}

QTEST_GUILESS_MAIN(TestPasswordGenerator)
#include "tst_passwordgenerator.moc"
