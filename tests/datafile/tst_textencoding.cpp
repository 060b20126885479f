#include "datafile/TextEncoding.h"

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

    void eightBitTextReadsAsWindows1252()
    {
        QCOMPARE(TextEncoding::decode8Bit("Caf\xE9 \x80\x96"), QString::fromUtf8("Café €–"));
        QCOMPARE(TextEncoding::decode8Bit(QString::fromUtf8("Café").toUtf8()), QString::fromUtf8("Café"));
        QCOMPARE(TextEncoding::toUtf8("\x9F"), QString::fromUtf8("Ÿ").toUtf8());
    }

    void windows1252RoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const auto back = TextEncoding::toWindows1252(TextEncoding::fromWindows1252(all));
        QVERIFY(back.has_value());
        QCOMPARE(*back, all);
    }

    void charactersOutsideWindows1252AreRefused()
    {
        QVERIFY(!TextEncoding::toWindows1252(QString::fromUtf8("Жук")).has_value());
        QVERIFY(!TextEncoding::toWindows1252(QString::fromUtf8("🔑")).has_value());
        QCOMPARE(*TextEncoding::toWindows1252(QString::fromUtf8("€uro")), QByteArray("\x80uro"));
    }
};

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
