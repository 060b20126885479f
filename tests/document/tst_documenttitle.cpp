#include "document/DocumentTitle.h"

#include <QtTest>

using DocumentTitle::TrayHint;

class TestDocumentTitle : public QObject {
    Q_OBJECT

private slots:
    void windowTitle_data()
    {
        QTest::addColumn<QString>("filePath");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("readOnlyMark");
        QTest::addColumn<QString>("title");
        QTest::newRow("nothing open") << QString() << false << QString() << "Zantrove 1.1";
        QTest::newRow("new document with changes") << QString() << true << QString() << "Untitled* \u2014 Zantrove 1.1";
        QTest::newRow("saved file, folder left out")
            << "/home/ann/safe/sample.zv" << false << QString() << "sample.zv \u2014 Zantrove 1.1";
        QTest::newRow("file with changes")
            << "/home/ann/safe/sample.zv" << true << QString() << "sample.zv* \u2014 Zantrove 1.1";
        QTest::newRow("name with spaces and dots")
            << "/tmp/my.old safe.zv" << true << QString() << "my.old safe.zv* \u2014 Zantrove 1.1";
        QTest::newRow("opened read-only") << "/tmp/shared.zv" << true << "read-only"
                                          << "shared.zv* (read-only) \u2014 Zantrove 1.1";
    }

    void windowTitle()
    {
        QFETCH(QString, filePath);
        QFETCH(bool, modified);
        QFETCH(QString, readOnlyMark);
        QFETCH(QString, title);
        QCOMPARE(DocumentTitle::windowTitle(filePath, modified, "Untitled", readOnlyMark), title);
    }

    void trayHint_data()
    {
        QTest::addColumn<QString>("filePath");
        QTest::addColumn<QString>("lockedMark");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("hint");
        const QString longName = QString(60, 'n') + ".zv";
        QTest::newRow("no file") << QString() << QString() << QString() << 63 << "Zantrove 1.1";
        QTest::newRow("file") << "/a/sample.zv" << QString() << QString() << 63 << "Zantrove 1.1 \u2014 sample.zv";
        QTest::newRow("locked, translated")
            << "/a/sample.zv"
            << "gesperrt" << QString() << 63 << "Zantrove 1.1 \u2014 sample.zv (gesperrt)";
        QTest::newRow("status line") << "/a/sample.zv" << QString() << "Clipboard clears in 9 s" << 63
                                     << "Zantrove 1.1 \u2014 sample.zv\nClipboard clears in 9 s";
        // A long name gives way so that the locked mark stays whole.
        QTest::newRow("long name, locked") << "/a/" + longName << "locked" << QString() << 63
                                           << "Zantrove 1.1 \u2014 " + QString(38, 'n') + "\u2026 (locked)";
        QTest::newRow("long name, status") << "/a/" + longName << QString() << "Cleared" << 40
                                           << "Zantrove 1.1 \u2014 " + QString(16, 'n') + "\u2026\nCleared";
        // The cut never leaves half of a character made of two units.
        QTest::newRow("surrogate pair at the cut")
            << "/a/" + QString(23, 'n') + QString::fromUcs4(U"\U0001F511") + ".zv" << QString() << QString() << 40
            << "Zantrove 1.1 \u2014 " + QString(23, 'n') + "\u2026";
    }

    void trayHint()
    {
        QFETCH(QString, filePath);
        QFETCH(QString, lockedMark);
        QFETCH(QString, status);
        QFETCH(int, limit);
        QFETCH(QString, hint);
        const QString composed = DocumentTitle::trayHint({filePath, lockedMark, status}, limit);
        QCOMPARE(composed, hint);
        QVERIFY(composed.size() <= limit);
    }
};

QTEST_APPLESS_MAIN(TestDocumentTitle)
#include "tst_documenttitle.moc"
