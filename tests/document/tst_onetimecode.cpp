#include "document/FieldRoles.h"
#include "document/OneTimeCode.h"

#include <QtTest>

namespace {

// RFC 6238's seeds: "1234567890" repeated to 20, 32 and 64 bytes.
const QString Seed20 = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ");
const QString Seed32 = QStringLiteral("GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZA====");
const QString Seed64 = QStringLiteral(
    "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNA=");

QString uri(const QString& secret, const QString& settings)
{
    return QStringLiteral("otpauth://totp/Example:alice?secret=%1%2").arg(secret, settings);
}

} // namespace

class TestOneTimeCode : public QObject {
    Q_OBJECT

private slots:
    void codes_data();
    void codes();
};

void TestOneTimeCode::codes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("time");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("secondsLeft");
    const struct {
        qint64 time;
        const char* sha1;
        const char* sha256;
        const char* sha512;
    } vectors[] = {
        {59, "94287082", "46119246", "90693936"},         {1111111109, "07081804", "68084774", "25091201"},
        {1111111111, "14050471", "67062674", "99943326"}, {1234567890, "89005924", "91819424", "93441116"},
        {2000000000, "69279037", "90698825", "38618901"}, {20000000000, "65353130", "77737706", "47863826"},
    };
    for (const auto& v : vectors) {
        const int left = 30 - int(v.time % 30);
        QTest::addRow("SHA-1 at %lld", v.time) << uri(Seed20, "&digits=8") << v.time << v.sha1 << left;
        QTest::addRow("SHA-256 at %lld", v.time)
            << uri(Seed32, "&algorithm=SHA256&digits=8") << v.time << v.sha256 << left;
        QTest::addRow("SHA-512 at %lld", v.time)
            << uri(Seed64, "&algorithm=sha512&digits=8") << v.time << v.sha512 << left;
    }
    QTest::newRow("six digits by default") << uri(Seed20, "") << qint64(59) << "287082" << 1;
    QTest::newRow("bare secret, spaced and small")
        << "gezd gnbv gy3t qojq gezd gnbv gy3t qojq" << qint64(1111111109) << "081804" << 1;
    QTest::newRow("period of 60 s") << uri(Seed20, "&period=60&digits=8") << qint64(118) << "94287082" << 2;
    QTest::newRow("Steam") << uri(Seed20, "&digits=5&encoder=steam&issuer=Steam") << qint64(59) << "PV9M4" << 1;
    // Refused: no code.
    for (const char* text :
         {"otpauth://totp/Example?digits=6", "otpauth://hotp/Example?secret=GEZDGNBVGY3TQOJQ", "&algorithm=MD5",
          "&digits=5", "&digits=9", "&period=0", "GEZDGNBVGY3TQOJ1GEZDGNBV", "GEZDGNBVGY", "Password"})
        QTest::newRow(text) << (text[0] == '&' ? uri(Seed20, text) : QString(text)) << qint64(0) << "" << 0;
}

void TestOneTimeCode::codes()
{
    QFETCH(QString, text);
    QFETCH(qint64, time);
    QFETCH(QString, code);
    const std::optional<OneTimeCode> generator = OneTimeCode::fromText(text);
    QCOMPARE(bool(generator), !code.isEmpty());
    // An address makes a code field under any name, a bare secret only under a seed's name.
    QCOMPARE(FieldRoles::isOneTimeCodeField("Notes", text), OneTimeCode::looksLikeUri(text));
    QCOMPARE(FieldRoles::isOneTimeCodeField("totp seed", text), OneTimeCode::looksLikeUri(text) || generator);
    if (!generator)
        return;
    QCOMPARE(generator->codeAt(time), code);
    QTEST(generator->secondsLeftAt(time), "secondsLeft");
    // A bare secret is stored as a URI that makes the same codes.
    QCOMPARE(OneTimeCode::fromUri(OneTimeCode::storedForm(text, "Bank"))->codeAt(time), code);
}

QTEST_APPLESS_MAIN(TestOneTimeCode)
#include "tst_onetimecode.moc"
