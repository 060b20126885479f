#include "base/TextEncoding.h"

#include <QSet>
#include <QtTest>

class TestTextEncoding : public QObject {
    Q_OBJECT

private slots:
    void utf8Validity_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ascii") << QByteArray("plain") << true;
        QTest::newRow("cyrillic") << QString::fromUtf8("Пароль").toUtf8() << true;
        QTest::newRow("emoji") << QByteArray("\xF0\x9F\x94\x91") << true;
        QTest::newRow("latin-1 e acute") << QByteArray("Caf\xE9") << false;
        QTest::newRow("truncated sequence") << QByteArray("\xD0") << false;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    }

    void utf8Validity()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(TextEncoding::isValidUtf8(bytes), valid);
    }

    void eightBitTextReadsInTheCodePageOfOlderFiles()
    {
        QCOMPARE(TextEncoding::olderFilesCodePage().number(), 1252);
        QCOMPARE(TextEncoding::decode8Bit("Caf\xE9 \x80\x96"), QString::fromUtf8("Café €–"));
        QCOMPARE(TextEncoding::decode8Bit(QString::fromUtf8("Café").toUtf8()), QString::fromUtf8("Café"));
        QCOMPARE(TextEncoding::toUtf8("\x9F"), QString::fromUtf8("Ÿ").toUtf8());

        TextEncoding::setOlderFilesCodePage(*CodePage::fromNumber(1251));
        QCOMPARE(TextEncoding::decode8Bit("\xCF\xE0\xF0\xEE\xEB\xFC"), QString::fromUtf8("Пароль"));
        QCOMPARE(TextEncoding::toUtf8("\xCF\xE0\xF0\xEE\xEB\xFC"), QString::fromUtf8("Пароль").toUtf8());
        TextEncoding::setOlderFilesCodePage(CodePage::windows1252());
    }

    void everyCodePageRoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QVERIFY(CodePage::offered().contains(1250) && CodePage::offered().contains(1251));
        for (int number : CodePage::offered()) {
            const CodePage codePage = *CodePage::fromNumber(number);
            const QString text = codePage.decode(all);
            QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
            QCOMPARE(codePage.encode(text).value_or(QByteArray()), all);
        }
    }

    void textInItsCodePage_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // empty: the text has no bytes there
        QTest::newRow("1252") << 1252 << QString::fromUtf8("€uro Café") << QByteArray("\x80uro Caf\xE9");
        QTest::newRow("1252, undefined byte") << 1252 << QString(QChar(0x81)) << QByteArray("\x81");
        QTest::newRow("1252, Cyrillic") << 1252 << QString::fromUtf8("Жук") << QByteArray();
        QTest::newRow("1252, beyond the BMP") << 1252 << QString::fromUtf8("🔑") << QByteArray();
        QTest::newRow("1251") << 1251 << QString::fromUtf8("Пароль") << QByteArray("\xCF\xE0\xF0\xEE\xEB\xFC");
        QTest::newRow("1251, Western letter") << 1251 << QString::fromUtf8("é") << QByteArray();
        QTest::newRow("1250") << 1250 << QString::fromUtf8("Żółć") << QByteArray("\xAF\xF3\xB3\xE6");
    }

    void textInItsCodePage()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const CodePage codePage = *CodePage::fromNumber(number);
        QCOMPARE(codePage.encode(text).value_or(QByteArray()), bytes);
        if (!bytes.isEmpty())
            QCOMPARE(codePage.decode(bytes), text);
    }

    void onlyOfferedCodePagesExist()
    {
        QVERIFY(!CodePage::fromNumber(65001));
        QVERIFY(!CodePage::fromNumber(0));
        QCOMPARE(CodePage::fromNumber(1251)->name(), QString("Windows-1251"));
    }
};

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
