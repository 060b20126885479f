#include "document/DataDocument.h"

#include <QtTest>

class TestDataDocument : public QObject {
    Q_OBJECT

private slots:
    void newDocumentIsTheDataElementAlone()
    {
        DataDocument document;
        QCOMPARE(QString::fromUtf8(document.root().name()), QStringLiteral("data"));
        QVERIFY(!document.root().first_child());
        QCOMPARE(document.toText(), QByteArray("<data/>\r\n"));
        document.root().append_child("folder");
        document.clear();
        QVERIFY(!document.root().first_child());
    }

    void unusableTextIsRefusedAndContentKept_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not xml") << QByteArray("\x8f\x12garbage<");
        QTest::newRow("unclosed") << QByteArray("<data><folder name='a'>");
        QTest::newRow("other root") << QByteArray("<catalogue/>");
        QTest::newRow("text only") << QByteArray("just words");
    }

    void unusableTextIsRefusedAndContentKept()
    {
        QFETCH(QByteArray, text);
        DataDocument document;
        QVERIFY(document.loadText("<data><folder name='kept' type='AUTO'/></data>"));
        QString error;
        QVERIFY(!document.loadText(text, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(qText(document.root().child("folder").attribute("name")), QStringLiteral("kept"));
    }

    void whitespaceBetweenElementsIsNotKept()
    {
        DataDocument document;
        QVERIFY(document.loadText("<data>\r\n  <folder name='a' type='AUTO'>\r\n  </folder>\r\n  "
                                  "<record><label>  </label></record>\r\n</data>\r\n"));
        QCOMPARE(document.toText(),
                 QByteArray("<data><folder name=\"a\" type=\"AUTO\">\r\n  </folder><record><label>  </label></record></data>\r\n"));
    }

    void ownDeclarationBeforeTheDataElementIsAccepted()
    {
        DataDocument document;
        QVERIFY(document.loadText("<?xml version=\"1.0\"?><data><folder name='x'/></data>"));
        QCOMPARE(document.toText(), QByteArray("<data><folder name=\"x\"/></data>\r\n"));
    }

    void cdataBecomesEquivalentText()
    {
        DataDocument document;
        QVERIFY(document.loadText("<data><record><label/><field><![CDATA[a<b\nc]]></field></record></data>"));
        const QByteArray stored = document.toText();
        DataDocument reread;
        QVERIFY(reread.loadText(stored));
        QCOMPARE(qText(reread.root().child("record").child("field").text()), QStringLiteral("a<b\nc"));
        QCOMPARE(reread.toText(), stored);
    }
};

QTEST_GUILESS_MAIN(TestDataDocument)
#include "tst_datadocument.moc"
