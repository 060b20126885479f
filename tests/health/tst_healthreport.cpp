#include "config/CaptionTable.h"
#include "config/PluralCaption.h"
#include "document/DataDocument.h"
#include "health/BreachList.h"
#include "health/FindingText.h"
#include "health/HealthReport.h"
#include "health/PasswordStrength.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDate Today(2026, 12, 10);

// Stored dates count months and days from zero: 20261109 is 10 December 2026.
const char* const Fixture =
    "<data><folder name='Web'>"
    "<record><label>Mail</label><field name='Password' basic_type='TEXT'>password1</field>"
    "<field name='PIN' basic_type='NUMBER'>12</field></record>"
    "<record><label>Shop</label><field name='Passwort' basic_type='TEXT'>password1</field></record>"
    "<record><label>Bank</label><field name='Password' basic_type='TEXT'>kW9#vQ2!mZ7$rT4@xL</field>"
    "<field name='Online password' basic_type='TEXT'></field></record>"
    "</folder>"
    "<record><label>Card</label><field name='Expiry' basic_type='DATE'>20261108:</field>"
    "<field name='Gültig bis' basic_type='DATE'>20270010:</field>"
    "<field name='Date d&apos;expiration' basic_type='DATE'>20261130:</field>"
    "<field name='Срок действия' basic_type='DATE'>20261109:</field>"
    "<field name='Issued' basic_type='DATE'>20261109:</field></record>"
    "</data>";

QString lines(const std::vector<HealthFinding>& findings)
{
    const CaptionTable english;
    QStringList shown;
    for (const HealthFinding& finding : findings)
        shown << QStringLiteral("%1|%2|%3|%4")
                     .arg(finding.path, finding.fieldName, FindingText::problem(finding, english))
                     .arg(finding.amount);
    return shown.join(QLatin1Char('\n'));
}

QByteArray sha1(const char* password)
{
    return QCryptographicHash::hash(password, QCryptographicHash::Sha1).toHex().toUpper();
}

} // namespace

class TestHealthReport : public QObject {
    Q_OBJECT

private slots:
    void reportsWeakReusedAndExpiringInTreeOrder()
    {
        DataDocument document;
        document.loadText(Fixture);
        // Not reported: the strong and the empty password, the PIN, the date
        // 32 days ahead and the one not named as an expiry.
        const qint64 bits = qint64(PasswordStrength::estimatedBits(QStringLiteral("password1")));
        QVERIFY(bits < 60 && PasswordStrength::estimatedBits(QStringLiteral("kW9#vQ2!mZ7$rT4@xL")) >= 60);
        const QString expected = QStringLiteral("Card|Expiry|Expired|-1\n"
                                                "Card|Date d'expiration|Expires soon|21\n"
                                                "Card|Срок действия|Expires soon|0\n"
                                                "Web/Mail|Password|Weak password|%1\n"
                                                "Web/Mail|Password|Reused password|2\n"
                                                "Web/Shop|Passwort|Weak password|%1\n"
                                                "Web/Shop|Passwort|Reused password|2")
                                     .arg(bits);
        QCOMPARE(lines(HealthReport::analyse(document.root(), {Today, 30, nullptr})), expected);
        const std::vector<HealthFinding> expiring = HealthReport::expiring(document.root(), Today, 40);
        QCOMPARE(expiring.size(), size_t(4));
        QCOMPARE(HealthReport::recordsOf(expiring).size(), size_t(1));
    }

    void breachListIsSearchedByBinarySearch_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<qint64>("seen"); // -1: not listed
        for (const QByteArray& end : {QByteArray("\n"), QByteArray("\r\n")}) {
            const QByteArray name = end.size() == 1 ? "LF " : "CRLF ";
            QTest::newRow(name + "first") << end << QByteArray("123456") << qint64(37359195);
            QTest::newRow(name + "middle") << end << QByteArray("password1") << qint64(2413945);
            QTest::newRow(name + "last") << end << QByteArray("letmein") << qint64(7);
            QTest::newRow(name + "absent") << end << QByteArray("kW9#vQ2!mZ7$rT4@xL") << qint64(-1);
        }
    }
    void breachListIsSearchedByBinarySearch()
    {
        QFETCH(QByteArray, lineEnd);
        QFETCH(QByteArray, password);
        QFETCH(qint64, seen);
        // Sorted by hash, with filler lines around so the search has to step.
        QMap<QByteArray, QByteArray> lines{
            {sha1("123456"), "37359195"}, {sha1("password1"), "2413945"}, {sha1("letmein"), "7"}};
        for (int n = 0; n < 200; ++n)
            lines.insert(sha1(QByteArray::number(n * 7919).constData()), QByteArray::number(n + 1));
        QByteArray text;
        for (auto it = lines.cbegin(); it != lines.cend(); ++it)
            text += it.key() + ':' + it.value() + lineEnd;
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("pwned.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        BreachList list;
        QVERIFY(list.open(file.fileName()));
        const std::optional<quint64> found = list.timesSeen(QString::fromUtf8(password));
        QCOMPARE(found ? qint64(*found) : qint64(-1), seen);
        QVERIFY(!BreachList().open(folder.filePath(QStringLiteral("missing.txt"))));
    }

    void pluralFormsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QString>("forms"); // O one, F few, M many
        const QList<int> counts{0, 1, 2, 4, 5, 11, 12, 21, 22, 25, 101, 111};
        QTest::newRow("English") << int(QLocale::English) << counts << "MOMMMMMMMMMM";
        QTest::newRow("German") << int(QLocale::German) << counts << "MOMMMMMMMMMM";
        QTest::newRow("French") << int(QLocale::French) << counts << "OOMMMMMMMMMM";
        QTest::newRow("Russian") << int(QLocale::Russian) << counts << "MOFFMMMOFMOM";
    }
    void pluralFormsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QList<int>, counts);
        QFETCH(QString, forms);
        QString got;
        for (int count : counts) {
            const auto form = PluralCaption::formOf(count, QLocale::Language(language));
            got += form == PluralCaption::Form::One ? u'O' : form == PluralCaption::Form::Few ? u'F' : u'M';
        }
        QCOMPARE(got, forms);
    }
};

QTEST_GUILESS_MAIN(TestHealthReport)
#include "tst_healthreport.moc"
