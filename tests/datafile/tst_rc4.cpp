#include "datafile/RC4.h"

#include <QByteArray>
#include <QtTest>

namespace {

QByteArray apply(const QByteArray& key, QByteArray data)
{
    RC4State state;
    RC4KeySchedule(state, reinterpret_cast<const std::uint8_t*>(key.constData()), static_cast<int>(key.size()));
    auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
    RC4Apply(state, bytes, bytes, data.size());
    return data;
}

QByteArray keystream(const QByteArray& key, qsizetype length)
{
    return apply(key, QByteArray(length, '\0'));
}

// The same stream made by one call per part of partSize bytes.
QByteArray keystreamInParts(const QByteArray& key, qsizetype length, qsizetype partSize)
{
    RC4State state;
    RC4KeySchedule(state, reinterpret_cast<const std::uint8_t*>(key.constData()), static_cast<int>(key.size()));
    QByteArray stream(length, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(stream.data());
    for (qsizetype offset = 0; offset < length; offset += partSize)
        RC4Apply(state, bytes + offset, bytes + offset, std::min(partSize, length - offset));
    return stream;
}

} // namespace

class TestRC4 : public QObject {
    Q_OBJECT

private slots:
    void publishedKeystreams_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("expected");
        // Published keystream samples for keys of 40 to 256 bits.
        QTest::newRow("40-bit @0") << QByteArray::fromHex("0102030405") << 0
                                   << QByteArray::fromHex("b2396305f03dc027ccc3524a0a1118a8");
        QTest::newRow("56-bit @0") << QByteArray::fromHex("01020304050607") << 0
                                   << QByteArray::fromHex("293f02d47f37c9b633f2af5285feb46b");
        QTest::newRow("64-bit @0") << QByteArray::fromHex("0102030405060708") << 0
                                   << QByteArray::fromHex("97ab8a1bf0afb96132f2f67258da15a8");
        const QByteArray key128 = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10");
        QTest::newRow("128-bit @0") << key128 << 0 << QByteArray::fromHex("9ac7cc9a609d1ef7b2932899cde41b97");
        QTest::newRow("128-bit @16") << key128 << 16 << QByteArray::fromHex("5248c4959014126a6e8a84f11d1a9e1c");
        QTest::newRow("128-bit @4096") << key128 << 4096 << QByteArray::fromHex("a36a4c301ae8ac13610ccbc12256cacc");
        QTest::newRow("192-bit @0") << QByteArray::fromHex("0102030405060708090a0b0c0d0e0f101112131415161718") << 0
                                    << QByteArray::fromHex("0595e57fe5f0bb3c706edac8a4b2db11");
        const QByteArray key256 =
            QByteArray::fromHex("0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20");
        QTest::newRow("256-bit @0") << key256 << 0 << QByteArray::fromHex("eaa6bd25880bf93d3f5d1e4ca2611d91");
        QTest::newRow("256-bit @1520") << key256 << 1520 << QByteArray::fromHex("40f250b26d1f096a4afd4c340a588815");
    }

    void publishedKeystreams()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, offset);
        QFETCH(QByteArray, expected);
        QCOMPARE(keystream(key, offset + expected.size()).mid(offset).toHex(), expected.toHex());
        QCOMPARE(keystreamInParts(key, offset + expected.size(), 7).mid(offset).toHex(), expected.toHex());
    }

    void publishedCiphertexts_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plaintext");
        QTest::addColumn<QByteArray>("ciphertext");
        QTest::newRow("Key") << QByteArray("Key") << QByteArray("Plaintext")
                             << QByteArray::fromHex("bbf316e8d940af0ad3");
        QTest::newRow("Wiki") << QByteArray("Wiki") << QByteArray("pedia") << QByteArray::fromHex("1021bf0420");
        QTest::newRow("Secret") << QByteArray("Secret") << QByteArray("Attack at dawn")
                                << QByteArray::fromHex("45a01f645fc35b383552544b9bf5");
    }

    void publishedCiphertexts()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plaintext);
        QFETCH(QByteArray, ciphertext);
        QCOMPARE(apply(key, plaintext).toHex(), ciphertext.toHex());
        QCOMPARE(apply(key, ciphertext), plaintext);
    }

    void trailingZeroKeyBytesCount()
    {
        QByteArray padded("Key");
        padded.append(13, '\0');
        QVERIFY(keystream(padded, 32) != keystream("Key", 32));
    }

    void keyLengthLimits()
    {
        RC4State state;
        const QByteArray longKey(257, 'k');
        const auto* key = reinterpret_cast<const std::uint8_t*>(longKey.constData());
        RC4KeySchedule(state, key, 256);
        for (int length : {0, -1, 257}) {
            try {
                RC4KeySchedule(state, key, length);
                QFAIL(qPrintable(QStringLiteral("key length %1 was accepted").arg(length)));
            } catch (const RC4Error& error) {
                QCOMPARE(QString::fromLatin1(error.what()), QStringLiteral("RC4: Invalid key length"));
            }
        }
    }

    void emptyLengthTouchesNothing()
    {
        RC4State state;
        const std::uint8_t key[] = {1, 2, 3};
        RC4KeySchedule(state, key, 3);
        const RC4State before = state;
        std::uint8_t buffer[4] = {9, 8, 7, 6};
        RC4Apply(state, buffer, buffer, 0);
        RC4Apply(state, buffer, buffer, -5);
        QVERIFY(state.S == before.S);
        QCOMPARE(buffer[0], std::uint8_t(9));
        QCOMPARE(buffer[3], std::uint8_t(6));
    }

    void separateInputAndOutputBuffers()
    {
        const QByteArray key("separate");
        const QByteArray input("the same result as in place");
        QByteArray output(input.size(), '\0');
        RC4State state;
        RC4KeySchedule(state, reinterpret_cast<const std::uint8_t*>(key.constData()), static_cast<int>(key.size()));
        RC4Apply(state, reinterpret_cast<const std::uint8_t*>(input.constData()),
                 reinterpret_cast<std::uint8_t*>(output.data()), input.size());
        QCOMPARE(output, apply(key, input));
    }
};

QTEST_GUILESS_MAIN(TestRC4)
#include "tst_rc4.moc"
