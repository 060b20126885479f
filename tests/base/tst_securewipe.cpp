#include "base/SecureWipe.h"

#include <QtTest>

class TestSecureWipe : public QObject {
    Q_OBJECT

private slots:
    // The array keeps its allocation after the wipe, so the test may still
    // read it: every byte of it, not only the text's, must be zero. Removing
    // from the front leaves bytes before the data, inside the allocation.
    void ownedBytesAreZeroed_data()
    {
        QTest::addColumn<int>("removedFromFront");
        QTest::newRow("whole") << 0;
        QTest::newRow("front removed") << 8;
    }

    void ownedBytesAreZeroed()
    {
        QFETCH(int, removedFromFront);
        QByteArray secret("correct horse battery staple");
        secret.reserve(64);
        const char* allocation = secret.constData();
        const qsizetype capacity = secret.capacity();
        secret.remove(0, removedFromFront);
        if (secret.constData() != allocation + removedFromFront)
            QSKIP("this Qt moves the data when removing from the front");
        SecureWipe::wipe(secret);
        QVERIFY(secret.isEmpty());
        QCOMPARE(secret.constData(), allocation + removedFromFront);
        QCOMPARE(QByteArray(allocation, capacity), QByteArray(capacity, '\0'));
    }

    void ownedTextIsZeroed()
    {
        QString secret = SecureWipe::deepCopy(QStringLiteral("pässwörd"));
        const QChar* memory = secret.constData();
        const qsizetype capacity = secret.capacity();
        {
            const SecureWipe::WipeOnExit forget(secret);
        }
        QVERIFY(secret.isEmpty());
        QCOMPARE(secret.constData(), memory);
        QCOMPARE(QString(memory, capacity), QString(capacity, QChar(0)));
    }

    // Another owner still reads the shared text; a literal is read-only.
    void sharedAndLiteralTextIsOnlyReleased()
    {
        const QByteArray original("shared document text");
        QByteArray copy = original;
        SecureWipe::wipe(copy);
        QVERIFY(copy.isEmpty());
        QCOMPARE(original, QByteArray("shared document text"));

        QString literal = QStringLiteral("literal");
        const QString sameStaticData = literal;
        SecureWipe::wipe(literal);
        QVERIFY(literal.isEmpty());
        QCOMPARE(sameStaticData, QLatin1String("literal"));
    }
};

QTEST_GUILESS_MAIN(TestSecureWipe)
#include "tst_securewipe.moc"
