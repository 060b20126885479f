#include "document/DataDocument.h"
#include "document/DocumentHistory.h"
#include "document/DocumentMerge.h"

#include <QtTest>

namespace {

QByteArray record(const char* caption, const char* fields, const char* type = "NOTE")
{
    return QByteArray("<record parent_type=\"Note\" type=\"") + type + "\"><label link=\"\">" + caption + "</label>"
           + fields + "</record>";
}

QByteArray field(const char* name, const char* value)
{
    return QByteArray("<field name=\"") + name + "\" basic_type=\"TEXT\">" + value + "</field>";
}

QByteArray data(const QByteArray& content)
{
    return "<data>" + content + "</data>\r\n";
}

} // namespace

class TestDocumentMerge : public QObject {
    Q_OBJECT
private slots:
    void merge_data();
    void merge();
};

void TestDocumentMerge::merge_data()
{
    QTest::addColumn<QByteArray>("open");
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<QByteArray>("merged");
    // groups, records, fields, conflicts
    QTest::addColumn<QList<int>>("counts");

    const QByteArray bank = record("Bank", field("PIN", "1234"));
    QTest::newRow("identical adds nothing")
        << data("<folder name=\"Home\" type=\"PRIVATE\">" + bank + "</folder>")
        << data("<folder name=\"Home\" type=\"PRIVATE\">" + bank + "</folder>")
        << data("<folder name=\"Home\" type=\"PRIVATE\">" + bank + "</folder>") << QList<int>{0, 0, 0, 0};
    QTest::newRow("a record only in the other comes with its groups")
        << data(bank)
        << data("<folder name=\"Home\" type=\"VIP\"><folder name=\"Car\" type=\"AUTO\">" + record("Plate", "")
                + "</folder></folder>")
        << data(bank + "<folder name=\"Home\" type=\"VIP\"><folder name=\"Car\" type=\"AUTO\">" + record("Plate", "")
                + "</folder></folder>")
        << QList<int>{2, 1, 0, 0};
    QTest::newRow("a record goes into the group of the same name")
        << data("<folder name=\"Home\" type=\"VIP\">" + bank + "</folder>")
        << data("<folder name=\"Home\" type=\"AUTO\">" + record("Mail", "") + "</folder>")
        << data("<folder name=\"Home\" type=\"VIP\">" + bank + record("Mail", "") + "</folder>")
        << QList<int>{0, 1, 0, 0};
    QTest::newRow("another type is another record")
        << data(bank) << data(record("Bank", field("PIN", "1234"), "BANK ACCOUNT"))
        << data(bank + record("Bank", field("PIN", "1234"), "BANK ACCOUNT")) << QList<int>{0, 1, 0, 0};
    QTest::newRow("a field only in the other is added")
        << data(bank) << data(record("Bank", field("IBAN", "DE12")))
        << data(record("Bank", field("PIN", "1234") + field("IBAN", "DE12"))) << QList<int>{0, 0, 1, 0};
    QTest::newRow("a differing value is kept beside, once")
        << data(record("Bank", field("PIN", "1234") + field("PIN (from laptop)", "9999")))
        << data(record("Bank", field("PIN", "0000") + field("PIN", "9999")))
        << data(record("Bank",
                       field("PIN", "1234") + field("PIN (from laptop)", "9999") + field("PIN (from laptop)", "0000")))
        << QList<int>{0, 0, 0, 1};
}

void TestDocumentMerge::merge()
{
    QFETCH(QByteArray, open);
    QFETCH(QByteArray, other);
    QFETCH(QByteArray, merged);
    QFETCH(QList<int>, counts);
    DataDocument document;
    DataDocument otherDocument;
    QVERIFY(document.loadText(open));
    QVERIFY(otherDocument.loadText(other));
    DocumentHistory history(document);
    DocumentMerge merge(otherDocument, [](const QString& name) { return name + QStringLiteral(" (from laptop)"); });

    const bool changed = history.push(merge.command(QStringLiteral("Merge")));
    const DocumentMerge::Summary& summary = merge.summary();
    QCOMPARE(changed, !summary.addedNothing());
    QCOMPARE((QList<int>{summary.groups, summary.records, summary.fields, summary.conflicts}), counts);
    QCOMPARE(document.toText(), merged);
    if (!history.canUndo())
        return;
    // The whole merge is one step each way.
    history.undo();
    QCOMPARE(document.toText(), open);
    history.redo();
    QCOMPARE(document.toText(), merged);
}

QTEST_GUILESS_MAIN(TestDocumentMerge)
#include "tst_documentmerge.moc"
