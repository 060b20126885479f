#include "base/ProtectedContainer.h"
#include "datafile/DerivationCalibration.h"
#include "support/TestSupport.h"

#include <QtEndian>
#include <QtTest>

using namespace ProtectedContainer;
using TestSupport::readFile;

namespace {

// The cheapest cost a reader accepts: fast enough for many derivations.
constexpr DerivationCost Cheap{1, DerivationCost::MinMemoryKiB};
const QString Password = QStringLiteral("Grüße, ключ ✓");
const QByteArray Text = QByteArrayLiteral("<?xml version=\"1.0\" standalone = \"yes\" ?><data/>");

QByteArray sealed(const QByteArray& text = Text, const DerivationCost& cost = Cheap)
{
    QByteArray file;
    if (seal(text, Password, cost, file) != Status::Ok)
        qFatal("sealing failed");
    return file;
}

QByteArray header(quint8 version, quint8 derivation, quint32 passes, quint32 memoryKiB)
{
    QByteArray bytes = Magic.toByteArray() + char(version) + char(derivation) + QByteArray(8, '\0');
    qToLittleEndian<quint32>(passes, bytes.data() + 10);
    qToLittleEndian<quint32>(memoryKiB, bytes.data() + 14);
    return bytes + QByteArray(SaltSize + NonceSize + TagSize, 'x');
}

// A machine on which a pass over the memory takes fakePassTime, on a clock of
// its own; with no time given, it has not the memory.
std::chrono::nanoseconds fakeNow{};
std::chrono::milliseconds fakePassTime{};

bool fakeDerive(const QString&, const Salt&, const DerivationCost& cost, Key&)
{
    fakeNow += fakePassTime * cost.passes;
    return fakePassTime.count() > 0;
}

// Whether key lies anywhere on the stack just below this function's frame,
// where the calls made before it kept their locals. Run on a thread whose
// whole stack is mapped.
[[gnu::noinline, gnu::no_sanitize_address]] bool leftBelow(const Key& key)
{
    volatile unsigned char marker = 0;
    const auto* top = const_cast<const unsigned char*>(&marker);
    for (const unsigned char* at = top - 16 * 1024; at < top; ++at) {
        if (std::equal(key.begin(), key.end(), at))
            return true;
    }
    return false;
}

} // namespace

class TestProtectedContainer : public QObject {
    Q_OBJECT

private slots:
    void calibrationFitsPassesToASecond_data()
    {
        QTest::addColumn<int>("passMs");
        QTest::addColumn<int>("passes"); // 0: no memory for a derivation
        QTest::newRow("fast machine") << 150 << 7;
        QTest::newRow("slow machine keeps the default") << 400 << 3;
        QTest::newRow("very fast machine, within the limits") << 5 << 64;
        QTest::newRow("no memory") << 0 << 0;
    }

    void calibrationFitsPassesToASecond()
    {
        QFETCH(int, passMs);
        QFETCH(int, passes);
        fakePassTime = std::chrono::milliseconds(passMs);
        const auto cost = DerivationCalibration::calibrate(fakeDerive, [] { return fakeNow; });
        QCOMPARE(cost, passes ? std::optional(DerivationCost{quint32(passes)}) : std::nullopt);
    }

    // Written by an implementation of the format that shares no code with ours.
    void readsTheKnownAnswerFixtureUnderEitherUnicodeForm()
    {
        const QByteArray file = readFile(QStringLiteral(ZV_FIXTURES "/protected.zvx"));
        const QByteArray expected = QStringLiteral("<?xml version=\"1.0\" standalone = \"yes\" ?><data><record "
                                                   "parent_type=\"Note\" type=\"NOTE\"><label link=\"Text\">Notiz"
                                                   "</label><field name=\"Text\" basic_type=\"LONG TEXT\">Ünïcode ✓"
                                                   "&#13;&#10;line 2</field></record></data>")
                                        .toUtf8();
        for (const QString& form : {Password, Password.normalized(QString::NormalizationForm_D)}) {
            QByteArray text;
            QCOMPARE(open(file, form, text), Status::Ok);
            QCOMPARE(text, expected);
        }
    }

    void noCopyOfTheKeyStaysOnTheStack()
    {
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer's instrumented frames keep a copy about 1 KiB below
        // that the shipped build does not; where it comes from is not known yet.
        QSKIP("the stack is laid out otherwise under AddressSanitizer");
#endif
        const QByteArray file = sealed();
        bool left = true;
        TestSupport::runOnSmallStack([&] {
            Salt salt;
            std::copy_n(file.constData() + 18, SaltSize, salt.begin());
            Key key;
            QVERIFY(deriveArgon2id(Password, salt, Cheap, key));
            QByteArray text;
            QCOMPARE(open(file, Password, text), Status::Ok);
            left = leftBelow(key);
        });
        QVERIFY(!left);
    }

    void sealingIsFreshEveryTimeAndOpensAgain()
    {
        const QByteArray first = sealed();
        const QByteArray second = sealed();
        QCOMPARE(first.size(), HeaderSize + Text.size() + TagSize);
        QVERIFY(first.mid(18, SaltSize + NonceSize) != second.mid(18, SaltSize + NonceSize));
        QByteArray text;
        QCOMPARE(open(second, Password, text), Status::Ok);
        QCOMPARE(text, Text);
        QCOMPARE(open(second, QStringLiteral("Grüße, ключ ✗"), text), Status::WrongPasswordOrDamaged);
        // In place, the file's own bytes become the text: none are copied.
        QByteArray inPlace(second.constData(), second.size());
        const char* const fileStart = inPlace.constData();
        QCOMPARE(openInPlace(inPlace, Password), Status::Ok);
        QCOMPARE(inPlace, Text);
        QCOMPARE(inPlace.constData(), fileStart + HeaderSize);
    }

    void everyChangedByteIsRefused_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("status");
        const auto row = [](const char* name, int offset, Status status) {
            QTest::newRow(name) << offset << int(status);
        };
        row("magic", 0, Status::NotProtected);
        row("version", 8, Status::UnknownVersion);
        row("derivation", 9, Status::UnknownDerivation);
        row("passes", 10, Status::WrongPasswordOrDamaged);
        row("memory", 14, Status::WrongPasswordOrDamaged);
        row("salt", 18, Status::WrongPasswordOrDamaged);
        row("nonce", 34, Status::WrongPasswordOrDamaged);
        row("ciphertext", HeaderSize, Status::WrongPasswordOrDamaged);
        row("tag", HeaderSize + Text.size() + TagSize - 1, Status::WrongPasswordOrDamaged);
    }

    void everyChangedByteIsRefused()
    {
        QFETCH(int, offset);
        QFETCH(int, status);
        QByteArray file = sealed();
        // Adding one keeps the passes and the memory within their limits.
        file[offset] = char(file[offset] + 1);
        QByteArray text = "untouched";
        QCOMPARE(int(open(file, Password, text)), status);
        QCOMPARE(text, QByteArray("untouched"));
    }

    void shortFilesAreRefused_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("status");
        QTest::newRow("magic only") << int(Magic.size()) << int(Status::Damaged);
        QTest::newRow("header only") << HeaderSize << int(Status::Damaged);
        QTest::newRow("tag cut short") << HeaderSize + TagSize - 1 << int(Status::Damaged);
        QTest::newRow("one byte missing")
            << HeaderSize + int(Text.size()) + TagSize - 1 << int(Status::WrongPasswordOrDamaged);
    }

    void shortFilesAreRefused()
    {
        QFETCH(int, length);
        QFETCH(int, status);
        QByteArray text;
        QCOMPARE(int(open(sealed().left(length), Password, text)), status);
    }

    void costLimitsAreCheckedBeforeDeriving_data()
    {
        QTest::addColumn<quint32>("passes");
        QTest::addColumn<quint32>("memoryKiB");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("no pass") << 0u << 8192u << false;
        QTest::newRow("fewest") << 1u << 8192u << true;
        QTest::newRow("most") << 64u << 4194304u << true;
        QTest::newRow("too many passes") << 65u << 8192u << false;
        QTest::newRow("too little memory") << 1u << 8191u << false;
        QTest::newRow("too much memory") << 1u << 4194305u << false;
        QTest::newRow("all memory") << 1u << 0xffffffffu << false;
    }

    void costLimitsAreCheckedBeforeDeriving()
    {
        QFETCH(quint32, passes);
        QFETCH(quint32, memoryKiB);
        QFETCH(bool, accepted);
        Header read;
        QCOMPARE(readHeader(header(1, 1, passes, memoryKiB), read), accepted ? Status::Ok : Status::CostOutOfRange);
        static bool derived;
        derived = false;
        const DeriveKey spy = [](const QString&, const Salt&, const DerivationCost&, Key&) { return derived = true; };
        QByteArray text;
        open(header(1, 1, passes, memoryKiB), Password, text, spy);
        QCOMPARE(derived, accepted);
    }

    void passwordsOfOneTo1024Characters_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("fits");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("one") << QStringLiteral("x") << true;
        QTest::newRow("1024 outside the basic plane") << QString::fromUcs4(U"🔑").repeated(1024) << true;
        QTest::newRow("1025") << QStringLiteral("x").repeated(1025) << false;
    }

    void passwordsOfOneTo1024Characters()
    {
        QFETCH(QString, password);
        QFETCH(bool, fits);
        QByteArray file;
        QCOMPARE(seal(Text, password, Cheap, file) == Status::Ok, fits);
    }
};

QTEST_GUILESS_MAIN(TestProtectedContainer)
#include "tst_protectedcontainer.moc"
