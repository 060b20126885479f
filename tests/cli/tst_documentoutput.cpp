#include "cli/DocumentOutput.h"

#include <QtTest>

using Writes = QList<QByteArray>;

// A stream with a device is handed whole valid UTF-8 as it stands; one
// without gets it decoded. Either way the same text comes out, however the
// writes split it.
class TestDocumentOutput : public QObject {
    Q_OBJECT

private slots:
    void writesWhatDecodingWould_data()
    {
        QTest::addColumn<Writes>("writes");
        QTest::newRow("ASCII and multi-byte characters") << Writes{"a\xC3\xBC", "\xE2\x82\xAC b"};
        QTest::newRow("a character split between writes") << Writes{"x\xF0\x9F", "\x98", "\x80y"};
        QTest::newRow("invalid bytes after valid text") << Writes{"ok \xC3\xBC", "\xFF\xC3(", "more \xE2\x82\xAC"};
        QTest::newRow("a split character that is none") << Writes{"a\xE2\x82", "b"};
        QTest::newRow("an encoded surrogate") << Writes{"\xED\xA0\x80z"};
        QTest::newRow("a byte order mark first") << Writes{"\xEF\xBB", "\xBFtext \xEF\xBB\xBF"};
        QTest::newRow("a byte order mark later") << Writes{"text ", "\xEF\xBB\xBF"};
        QTest::newRow("the start of one, then no more") << Writes{"text \xEF\xBB", "\xBF\xFF", "\xEF\xBB", "A"};
        QTest::newRow("an unfinished character last") << Writes{"end \xE2\x82"};
    }

    void writesWhatDecodingWould()
    {
        QFETCH(Writes, writes);
        QByteArray direct;
        QString decoded;
        {
            QTextStream toDevice(&direct);
            QTextStream toText(&decoded);
            DocumentOutput bytes(toDevice, false);
            DocumentOutput text(toText, false);
            for (const QByteArray& piece : writes) {
                bytes.write(piece);
                text.write(piece);
            }
        }
        QCOMPARE(direct, decoded.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestDocumentOutput)
#include "tst_documentoutput.moc"
