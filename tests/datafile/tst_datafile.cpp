#include "base/StagedFile.h"
#include "base/TextEncoding.h"
#include "datafile/Backups.h"
#include "datafile/DataFile.h"
#include "datafile/DerivationBudget.h"
#include "datafile/FileIdentity.h"
#include "datafile/RC4.h"
#include "document/DataDocument.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

const QByteArray SampleText =
    "<data><folder name=\"Home\" type=\"PRIVATE\"><record parent_type=\"Car\" type=\"CAR INFO\">"
    "<label link=\"Model\" link2=\"Plate\"/><field name=\"Model\" basic_type=\"TEXT\">Roadster</field>"
    "<field name=\"Plate\" basic_type=\"TEXT\">AB 123</field></record></folder></data>";

void loadOrFail(DataDocument& document, const QByteArray& text)
{
    QString error;
    if (!document.loadText(text, &error))
        QFAIL(qPrintable(error));
}

QByteArray keyBytes(const QString& password)
{
    const auto key = DataFile::MakeFileKey(password);
    return key ? QByteArray(reinterpret_cast<const char*>(key->data()), DataFile::KeyLength) : QByteArray();
}

// The body as deciphered by a keystream of our own, not by the program's path.
QByteArray decipherBody(const QByteArray& fileBytes, const QString& password)
{
    QByteArray body = fileBytes.mid(DataFile::Magic.size());
    const QByteArray key = keyBytes(password);
    RC4State state;
    RC4KeySchedule(state, reinterpret_cast<const std::uint8_t*>(key.constData()), DataFile::KeyLength);
    auto* bytes = reinterpret_cast<std::uint8_t*>(body.data());
    RC4Apply(state, bytes, bytes, body.size());
    return body;
}

QByteArray textOf(const DataDocument& document)
{
    QByteArray text;
    document.appendText(text);
    return text;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void fileKeyIsSixteenBytesPaddedWithZeros()
    {
        QCOMPARE(keyBytes("abc"), QByteArray("abc").append(13, '\0'));
        QCOMPARE(keyBytes("0123456789abcdef"), QByteArray("0123456789abcdef"));
        QCOMPARE(keyBytes(QString::fromUtf8("€é")), QByteArray("\x80\xE9").append(14, '\0'));
    }

    void unusablePasswordsAreRefused_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << QString();
        QTest::newRow("seventeen characters") << QStringLiteral("0123456789abcdefg");
        QTest::newRow("cyrillic") << QString::fromUtf8("пароль");
        QTest::newRow("emoji") << QString::fromUtf8("key🔑");
    }

    void unusablePasswordsAreRefused()
    {
        QFETCH(QString, password);
        QVERIFY(!DataFile::MakeFileKey(password));
        DataDocument document;
        const QString target = path("refused.zv");
        QCOMPARE(DataFile::write(target, password, document), DataFile::Status::InvalidPassword);
        QVERIFY(!QFile::exists(target));
    }

    void containerLayout()
    {
        DataDocument document;
        loadOrFail(document, SampleText);
        const QString target = path("layout.zv");
        QCOMPARE(DataFile::write(target, "secret", document), DataFile::Status::Ok);

        const QByteArray bytes = readFile(target);
        QVERIFY(bytes.startsWith("QM20060718"));
        const QByteArray body = decipherBody(bytes, "secret");
        QCOMPARE(body.left(41), QByteArray(R"(<?xml version="1.0" standalone = "yes" ?>)"));
        const QByteArray text = body.mid(41);
        QCOMPARE(text, SampleText + "\r\n");
        QCOMPARE(bytes.size(), 10 + 41 + text.size());
    }

    void sameDocumentAndPasswordGiveSameBytes()
    {
        DataDocument document;
        loadOrFail(document, SampleText);
        QCOMPARE(DataFile::write(path("a.zv"), "secret", document), DataFile::Status::Ok);
        QCOMPARE(DataFile::write(path("b.zv"), "secret", document), DataFile::Status::Ok);
        QCOMPARE(readFile(path("a.zv")), readFile(path("b.zv")));
    }

    void opensOnlyWithExactlyItsPassword_data()
    {
        QTest::addColumn<QString>("attempt");
        QTest::addColumn<bool>("opens");
        QTest::newRow("exact") << "abc" << true;
        QTest::newRow("longer") << "abcd" << false;
        QTest::newRow("prefix") << "ab" << false;
        QTest::newRow("other case") << "ABC" << false;
    }

    void opensOnlyWithExactlyItsPassword()
    {
        QFETCH(QString, attempt);
        QFETCH(bool, opens);
        DataDocument original;
        loadOrFail(original, SampleText);
        const QString target = path("exact.zv");
        QCOMPARE(DataFile::write(target, "abc", original), DataFile::Status::Ok);

        DataDocument reread;
        const QByteArray before = reread.toText();
        const DataFile::Status status = DataFile::read(target, attempt, reread);
        QCOMPARE(status, opens ? DataFile::Status::Ok : DataFile::Status::CannotOpen);
        QCOMPARE(reread.toText(), opens ? original.toText() : before);
        QCOMPARE(DataFile::checkPassword(target, attempt), opens);
    }

    void badMagicIsIncorrectFormat_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("other magic") << QByteArray("QM20060719 and whatever follows");
        QTest::newRow("shorter than the magic") << QByteArray("QM2006");
        QTest::newRow("empty") << QByteArray();
    }

    void badMagicIsIncorrectFormat()
    {
        QFETCH(QByteArray, bytes);
        const QString target = path("format.zv");
        writeFile(target, bytes);
        DataDocument document;
        loadOrFail(document, SampleText);
        QCOMPARE(DataFile::read(target, "secret", document), DataFile::Status::IncorrectFormat);
        QCOMPARE(document.toText(), SampleText + "\r\n");
    }

    // A device or a pipe may never end: only regular files are read.
    void onlyExistingRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << path("nowhere.zv");
        QTest::newRow("folder") << m_dir.path();
        QTest::newRow("endless device") << QStringLiteral("/dev/zero");
    }

    void onlyExistingRegularFilesAreRead()
    {
        QFETCH(QString, file);
        DataDocument document;
        QCOMPARE(DataFile::read(file, "secret", document), DataFile::Status::CannotRead);
        QVERIFY(!DataFile::checkPassword(file, "secret"));
    }

    // Refused from its size alone; sparse files keep the test small on disk.
    void fileBeyondAnyDataFileIsRefusedUnread_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("one byte over the limit") << DataFile::MaxFileSize + 1;
        QTest::newRow("a gigabyte") << (qint64(1) << 30);
    }

    void fileBeyondAnyDataFileIsRefusedUnread()
    {
        QFETCH(qint64, size);
        const QString target = path("huge.zv");
        writeFile(target, "QM20060718");
        QVERIFY(QFile::resize(target, size));
        DataDocument document;
        loadOrFail(document, SampleText);
        QString detail;
        QCOMPARE(DataFile::read(target, "secret", document, &detail), DataFile::Status::TooLarge);
        QVERIFY(!detail.isEmpty());
        QCOMPARE(document.toText(), SampleText + "\r\n");
        QVERIFY(!DataFile::checkPassword(target, "secret"));
        QVERIFY(!FileIdentity::of(target));
        QFile::remove(target);
    }

    // RC4 keeps every byte in its place, so damage shows where it breaks the
    // XML; a flipped bit inside a value would go unseen (the format has no
    // checksum).
    void damagedFileIsRefusedAndDocumentKept_data()
    {
        QTest::addColumn<int>("keep"); // bytes kept; -1: all
        QTest::addColumn<int>("flip"); // offset of a byte whose lowest bit flips; -1: none
        const int textStart = 10 + 41;
        const int end = textStart + SampleText.size() + 2;
        QTest::newRow("cut inside the closing tag") << end - 5 << -1;
        QTest::newRow("cut to half") << end / 2 << -1;
        QTest::newRow("bit flipped in the first tag") << -1 << textStart;
        QTest::newRow("bit flipped in the closing tag's name") << -1 << end - 7;
    }

    void damagedFileIsRefusedAndDocumentKept()
    {
        QFETCH(int, keep);
        QFETCH(int, flip);
        DataDocument written;
        loadOrFail(written, SampleText);
        const QString target = path("damaged.zv");
        QCOMPARE(DataFile::write(target, "secret", written), DataFile::Status::Ok);
        QByteArray bytes = readFile(target);
        if (flip >= 0)
            bytes[flip] = static_cast<char>(bytes[flip] ^ 1);
        if (keep >= 0)
            bytes.truncate(keep);
        writeFile(target, bytes);

        DataDocument open;
        loadOrFail(open, "<data><folder name=\"Open\" type=\"AUTO\"/></data>");
        const QByteArray before = open.toText();
        QCOMPARE(DataFile::read(target, "secret", open), DataFile::Status::CannotOpen);
        QCOMPARE(open.toText(), before);
        QVERIFY(!DataFile::checkPassword(target, "secret"));
    }

    // Without a data element a body proves nothing about the password.
    void bodyWithoutDataDocumentIsRefused_data()
    {
        QTest::addColumn<QByteArray>("plaintext");
        QTest::newRow("nothing after the magic") << QByteArray();
        QTest::newRow("declaration only") << QByteArray(R"(<?xml version="1.0" standalone = "yes" ?>)");
        QTest::newRow("declaration and blank line") << QByteArray(R"(<?xml version="1.0" standalone = "yes" ?>)"
                                                                  "\r\n");
        QTest::newRow("other root") << QByteArray(R"(<?xml version="1.0" standalone = "yes" ?><notes/>)");
    }

    void bodyWithoutDataDocumentIsRefused()
    {
        QFETCH(QByteArray, plaintext);
        const QString target = path("hollow.zv");
        const QByteArray key = keyBytes("anything");
        RC4State state;
        RC4KeySchedule(state, reinterpret_cast<const std::uint8_t*>(key.constData()), DataFile::KeyLength);
        auto* bytes = reinterpret_cast<std::uint8_t*>(plaintext.data());
        RC4Apply(state, bytes, bytes, plaintext.size());
        writeFile(target, "QM20060718" + plaintext);

        DataDocument document;
        QCOMPARE(DataFile::read(target, "anything", document), DataFile::Status::CannotOpen);
        QVERIFY(!DataFile::checkPassword(target, "anything"));
        QVERIFY(!DataFile::checkPassword(target, "other"));
    }

    void independentlyWrittenFilesOpen()
    {
        DataDocument ansi;
        QCOMPARE(DataFile::read(ZV_FIXTURES "/ansi.zv", "Ind3pendent", ansi), DataFile::Status::Ok);
        const pugi::xml_node folder = ansi.root().child("folder");
        QCOMPARE(qText(folder.attribute("name")), QString::fromUtf8("Café"));
        const pugi::xml_node note = folder.child("record").child("field");
        QCOMPARE(qText(note.text()), QString::fromUtf8("Price 5 €\r\nsecond line"));
        QCOMPARE(qText(note.next_sibling().text()), QStringLiteral("   "));

        DataDocument utf8;
        QCOMPARE(DataFile::read(ZV_FIXTURES "/utf8.zv", "sixteen-chars-pw", utf8), DataFile::Status::Ok);
        const pugi::xml_node record = utf8.root().child("record");
        QCOMPARE(qText(record.child("label").text()), QString::fromUtf8("Почта"));
        QCOMPARE(qText(record.last_child().text()), QString::fromUtf8("名前"));
        QVERIFY(DataFile::checkPassword(ZV_FIXTURES "/utf8.zv", "sixteen-chars-pw"));
        QVERIFY(!DataFile::checkPassword(ZV_FIXTURES "/utf8.zv", "sixteen-chars-p"));
    }

    // Every way of writing takes either format; reading finds it by the magic alone.
    void bothFormatsRoundTripWhateverTheName_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("isProtected");
        QTest::addColumn<int>("written");
        QTest::addColumn<bool>("large");
        const QString longPassword = QString::fromUtf8("über sechzehn Zeichen, ключ ✓");
        QTest::newRow("create protected") << 0 << longPassword << true << int(DataFile::Status::Ok) << false;
        QTest::newRow("save protected") << 1 << longPassword << true << int(DataFile::Status::Ok) << false;
        QTest::newRow("write plain") << 2 << QStringLiteral("secret") << false << int(DataFile::Status::Ok) << false;
        QTest::newRow("long password in plain")
            << 1 << longPassword << false << int(DataFile::Status::InvalidPassword) << false;
        QTest::newRow("empty protected") << 0 << QString() << true << int(DataFile::Status::InvalidPassword) << false;
        // Large files are enciphered and written a part at a time.
        QTest::newRow("create plain, large")
            << 0 << QStringLiteral("secret") << false << int(DataFile::Status::Ok) << true;
        QTest::newRow("save plain, large")
            << 1 << QStringLiteral("secret") << false << int(DataFile::Status::Ok) << true;
    }

    void bothFormatsRoundTripWhateverTheName()
    {
        QFETCH(int, way);
        QFETCH(QString, password);
        QFETCH(bool, isProtected);
        QFETCH(int, written);
        QFETCH(bool, large);
        DataDocument document;
        QByteArray text = SampleText;
        if (large) {
            QByteArray value;
            for (int n = 0; value.size() < 9'000'000; ++n)
                value += QByteArray::number(n) + ' ';
            text.replace("</data>", "<record><label/><field name=\"Big\">" + value + "</field></record></data>");
        }
        loadOrFail(document, text);
        const QString target = path(QStringLiteral("named-%1.zv").arg(QTest::currentDataTag()));
        const DataFile::Sealing sealing{isProtected ? DataFile::Format::Protected : DataFile::Format::Plain,
                                        {1, ProtectedContainer::DerivationCost::MinMemoryKiB}};
        const DataFile::Status status = way == 0   ? DataFile::create(target, password, document, nullptr, sealing)
                                        : way == 1 ? DataFile::save(target, password, document, false, nullptr, sealing)
                                                   : DataFile::write(target, password, document, nullptr, sealing);
        QCOMPARE(int(status), written);
        if (status != DataFile::Status::Ok)
            return;
        QCOMPARE(DataFile::sealingOf(target).format, sealing.format);
        if (isProtected)
            QCOMPARE(DataFile::sealingOf(target).cost, sealing.cost);
        DataDocument reread;
        QCOMPARE(DataFile::read(target, password, reread), DataFile::Status::Ok);
        QCOMPARE(textOf(reread), textOf(document));
        QCOMPARE(DataFile::read(target, password + "x", reread), DataFile::Status::CannotOpen);
    }

    void protectedHeadersThisVersionCannotUseAreRefused_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<char>("value");
        QTest::addColumn<int>("status");
        QTest::newRow("later version") << 8 << char(2) << int(DataFile::Status::NewerFormat);
        QTest::newRow("other derivation") << 9 << char(7) << int(DataFile::Status::NewerFormat);
        QTest::newRow("passes beyond the limit") << 10 << char(65) << int(DataFile::Status::IncorrectFormat);
        QTest::newRow("a changed salt") << 18 << char(0) << int(DataFile::Status::CannotOpen);
    }

    void protectedHeadersThisVersionCannotUseAreRefused()
    {
        QFETCH(int, offset);
        QFETCH(char, value);
        QFETCH(int, status);
        QByteArray file = readFile(ZV_FIXTURES "/protected.zvx");
        file[offset] = file[offset] == value ? char(value + 1) : value;
        writeFile(path("changed.zvx"), file);
        DataDocument document;
        loadOrFail(document, SampleText);
        const QByteArray before = textOf(document);
        QCOMPARE(int(DataFile::read(path("changed.zvx"), QString::fromUtf8("Grüße, ключ ✓"), document)), status);
        QCOMPARE(textOf(document), before);
    }

    // Judged from the header before anything is derived: a derivation the
    // test would wait minutes for ends it in time only when refused.
    void costlyDerivationsAreRefusedUnlessAllowed_data()
    {
        using Status = DataFile::Status;
        using Slow = DataFile::SlowDerivation;
        QTest::addColumn<quint32>("passes");
        QTest::addColumn<quint32>("memoryKiB");
        QTest::addColumn<std::optional<DerivationBudget::Machine>>("machine"); // none: this one, measured
        QTest::addColumn<Slow>("slow");
        QTest::addColumn<QList<Status>>("status"); // any of these
        const auto machine = [](double secondsPerPassMiB, quint64 physicalMiB) {
            return std::optional(DerivationBudget::Machine{secondsPerPassMiB, physicalMiB << 20});
        };
        QTest::newRow("quick") << 2u << 8192u << machine(0.001, 4096) << Slow::Refuse << QList{Status::Ok};
        QTest::newRow("slow") << 2u << 8192u << machine(1, 4096) << Slow::Refuse << QList{Status::DerivationSlow};
        QTest::newRow("slow, allowed") << 2u << 8192u << machine(1, 4096) << Slow::Allow << QList{Status::Ok};
        QTest::newRow("half the memory") << 2u << 8192u << machine(0.001, 16) << Slow::Allow << QList{Status::Ok};
        QTest::newRow("over half the memory, even allowed")
            << 2u << 8192u << machine(0.001, 15) << Slow::Allow << QList{Status::DerivationBeyondMemory};
        QTest::newRow("the costliest header, here")
            << 64u << 4194304u << std::optional<DerivationBudget::Machine>() << Slow::Refuse
            << QList{Status::DerivationSlow, Status::DerivationBeyondMemory};
    }

    void costlyDerivationsAreRefusedUnlessAllowed()
    {
        QFETCH(quint32, passes);
        QFETCH(quint32, memoryKiB);
        QFETCH(std::optional<DerivationBudget::Machine>, machine);
        QFETCH(DataFile::SlowDerivation, slow);
        QFETCH(QList<DataFile::Status>, status);
        DataDocument document;
        loadOrFail(document, SampleText);
        const QString target = path("costly.zvx");
        QCOMPARE(DataFile::write(target, "secret", document, nullptr, {DataFile::Format::Protected, {2, 8192}}),
                 DataFile::Status::Ok);
        QByteArray bytes = readFile(target);
        qToLittleEndian(passes, bytes.data() + 10);
        qToLittleEndian(memoryKiB, bytes.data() + 14);
        writeFile(target, bytes);
        DerivationBudget::assumeMachine(machine);
        const auto measured = qScopeGuard([] { DerivationBudget::assumeMachine(std::nullopt); });
        DataDocument reread;
        const DataFile::Status read = DataFile::read(target, "secret", reread, nullptr, slow);
        QVERIFY2(status.contains(read), qPrintable(QString::number(int(read))));
    }

    void olderFilesOpenInTheirCodePage()
    {
        // As written on a Russian system: the text and the key in Windows-1251.
        const CodePage cyrillic = *CodePage::fromNumber(1251);
        const QString password = QString::fromUtf8("Пароль");
        const QByteArray passwordBytes = *cyrillic.encode(password);
        DataFile::FileKey key{};
        std::copy(passwordBytes.begin(), passwordBytes.end(), key.begin());
        const QByteArray text =
            "<data><folder name=\"" + *cyrillic.encode(QString::fromUtf8("Почта")) + "\" type=\"PRIVATE\"/></data>";
        writeFile(path("russian.zv"), DataFile::seal(text, key));

        DataDocument document;
        QCOMPARE(DataFile::read(path("russian.zv"), password, document), DataFile::Status::InvalidPassword);
        TextEncoding::setOlderFilesCodePage(cyrillic);
        const auto restore = qScopeGuard([] { TextEncoding::setOlderFilesCodePage(CodePage::windows1252()); });
        QCOMPARE(DataFile::read(path("russian.zv"), password, document), DataFile::Status::Ok);
        QCOMPARE(qText(document.root().child("folder").attribute("name")), QString::fromUtf8("Почта"));

        // Saved again it keeps its key, and its text is UTF-8 from then on.
        QCOMPARE(DataFile::write(path("russian.zv"), password, document), DataFile::Status::Ok);
        QVERIFY(decipherBody(readFile(path("russian.zv")), password).contains(QString::fromUtf8("Почта").toUtf8()));
    }

    void contentRoundTripsExactly()
    {
        const QByteArray text =
            QString::fromUtf8(
                "<data><record parent_type=\"Note\" type=\"NOTE\" extra=\"kept\"><label link=\"a\" link2=\"b\">Ünïcödé "
                "名前 🔑</label>"
                "<field basic_type=\"LONG TEXT\" name=\"a\">line one\r\nline two\r\n</field>"
                "<field name=\"lf\" basic_type=\"TEXT\">lone\nfeed and lone\rreturn</field>"
                "<field name=\"blank\" basic_type=\"TEXT\">  \t </field>"
                "<field name=\"attr&quot;&lt;&amp;\" basic_type=\"TEXT\">&lt;tag&gt; &amp; more</field>"
                "<field name=\"odd\" basic_type=\"custom\"/></record><folder name=\"Empty\" type=\"VIP\"/></data>")
                .toUtf8();
        DataDocument document;
        loadOrFail(document, text);
        QCOMPARE(DataFile::write(path("round.zv"), "pw", document), DataFile::Status::Ok);

        DataDocument reread;
        QCOMPARE(DataFile::read(path("round.zv"), "pw", reread), DataFile::Status::Ok);
        QCOMPARE(reread.toText(), document.toText());

        const pugi::xml_node record = reread.root().child("record");
        QCOMPARE(QString::fromUtf8(record.first_attribute().next_attribute().next_attribute().name()),
                 QStringLiteral("extra"));
        const pugi::xml_node longText = record.child("label").next_sibling();
        QCOMPARE(QString::fromUtf8(longText.first_attribute().name()), QStringLiteral("basic_type"));
        QCOMPARE(qText(longText.text()), QStringLiteral("line one\r\nline two\r\n"));
        QCOMPARE(qText(longText.next_sibling().text()), QStringLiteral("lone\nfeed and lone\rreturn"));
        QCOMPARE(qText(longText.next_sibling().next_sibling().text()), QStringLiteral("  \t "));
        QCOMPARE(qText(record.child("label").text()), QString::fromUtf8("Ünïcödé 名前 🔑"));
    }

    void storedTextEndsEveryLineWithCrLf()
    {
        DataDocument document;
        loadOrFail(document, "<data><record><label/><field>a\nb\r\nc\rd</field></record></data>");
        const QByteArray stored = document.toText();
        QVERIFY(stored.endsWith("\r\n"));
        QCOMPARE(stored.count("\r\n"), 2);
        QCOMPARE(stored.count('\n'), 2);
        QCOMPARE(stored.count('\r'), 2);
    }

    // The stored text is written in chunks as it is produced.
    void lineBreaksSurviveInTextWrittenInManyChunks()
    {
        QByteArray value;
        for (int piece = 0; piece < 20000; ++piece) {
            value += QByteArray(piece % 5, 'x') + (piece % 7 == 0 ? "&<" : "");
            const char* const breaks[] = {"\r\n", "\r", "\n"};
            value += breaks[piece % 3];
        }
        DataDocument document;
        document.root().append_child("record").append_child("field").text().set(value.constData());

        const QByteArray stored = document.toText();
        for (qsizetype at = 0; at < stored.size(); ++at) {
            if (stored[at] == '\r')
                QVERIFY2(at + 1 < stored.size() && stored[at + 1] == '\n', qPrintable(QString::number(at)));
            if (stored[at] == '\n')
                QVERIFY2(at > 0 && stored[at - 1] == '\r', qPrintable(QString::number(at)));
        }
        QCOMPARE(stored.count("\r\n"), value.count("\r\n") + 1);
        DataDocument reread;
        loadOrFail(reread, stored);
        QVERIFY(reread.root().child("record").child("field").text().get() == value);
    }

    // Small documents fail only when the last buffered bytes are flushed,
    // large ones already while they are written: both must keep the old file.
    // Whatever takes the name while a new file is written stays as it is, and
    // a link there is not written through.
    void newFileNeverTakesATakenName_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("a file") << false;
        QTest::newRow("a dangling link") << true;
    }

    void newFileNeverTakesATakenName()
    {
        QFETCH(bool, link);
        QTemporaryDir folder;
        const QString target = folder.filePath("new.zv");
        const QString linked = folder.filePath("elsewhere.zv");
        StagedFile staged(StagedFile::Mode::CreateNew);
        QVERIFY(staged.write(target, "staged"));
        if (link)
            QVERIFY(QFile::link(linked, target));
        else
            writeFile(target, "theirs");
        QVERIFY(!staged.commit());
        QVERIFY(staged.targetTaken());
        QCOMPARE(QFileInfo(target).isSymLink(), link);
        QCOMPARE(QFile::exists(linked), false);
        if (!link)
            QCOMPARE(readFile(target), QByteArray("theirs"));
    }

    void failedWriteKeepsPreviousFile_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("limit");
        QTest::newRow("fails on the final flush") << 1 << 100;
        QTest::newRow("fails while writing") << 2000 << 4096;
    }

    void failedWriteKeepsPreviousFile()
    {
        QFETCH(int, groups);
        QFETCH(int, limit);
        QTemporaryDir folder;
        const QString target = folder.filePath("keep.zv");
        DataDocument previous;
        loadOrFail(previous, SampleText);
        QCOMPARE(DataFile::write(target, "secret", previous), DataFile::Status::Ok);
        const QByteArray before = readFile(target);

        DataDocument replacement;
        QByteArray text = "<data>";
        for (int i = 0; i < groups; ++i)
            text += "<folder name=\"group " + QByteArray::number(i) + "\" type=\"AUTO\"/>";
        loadOrFail(replacement, text + "</data>");
        {
            TestSupport::FileSizeLimit diskFull(limit);
            QCOMPARE(DataFile::write(target, "secret", replacement), DataFile::Status::CannotWrite);
        }
        QCOMPARE(readFile(target), before);
        QCOMPARE(filesIn(folder.path()), QStringList{"keep.zv"});
    }

    void backupsKeepTheOldestVersionsAndTheOneBeforeTheLatest()
    {
        QTemporaryDir folder;
        const QString target = folder.filePath("private.zv");
        QList<QByteArray> versions;
        for (int version = 1; version <= 5; ++version) {
            DataDocument document;
            loadOrFail(document, "<data><folder name=\"v" + QByteArray::number(version) + "\" type=\"AUTO\"/></data>");
            QCOMPARE(DataFile::save(target, "secret", document, true), DataFile::Status::Ok);
            versions << readFile(target);
        }
        QCOMPARE(readFile(folder.filePath("~1_private.zv")), versions[0]);
        QCOMPARE(readFile(folder.filePath("~2_private.zv")), versions[1]);
        QCOMPARE(readFile(folder.filePath("~3_private.zv")), versions[3]);
        QCOMPARE(filesIn(folder.path()).size(), 4);
    }

    void failedSaveLeavesFileAndBackupsAsTheyWere_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("disk full") << true;
        QTest::newRow("read-only folder") << false;
    }

    void failedSaveLeavesFileAndBackupsAsTheyWere()
    {
        QFETCH(bool, diskFull);
        QTemporaryDir folder;
        const QString target = folder.filePath("private.zv");
        DataDocument document;
        loadOrFail(document, SampleText);
        for (int save = 0; save < 4; ++save)
            QCOMPARE(DataFile::save(target, "secret", document, true), DataFile::Status::Ok);
        QMap<QString, QByteArray> before;
        for (const QString& name : filesIn(folder.path()))
            before[name] = readFile(folder.filePath(name));

        DataFile::SaveFailure failure;
        if (diskFull) {
            TestSupport::FileSizeLimit limit(64);
            QCOMPARE(DataFile::save(target, "secret", document, true, failure), DataFile::Status::CannotWrite);
            QCOMPARE(failure.reason, DataFile::SaveFailure::Reason::System);
            QVERIFY(!failure.systemReason.isEmpty());
        } else {
            QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
            const auto restore = qScopeGuard(
                [&] { QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
            if (QFileInfo(folder.path()).isWritable())
                QSKIP("this user may write into read-only folders (root); the disk full row covers the rule");
            QCOMPARE(DataFile::save(target, "secret", document, true, failure), DataFile::Status::CannotWrite);
            // The file itself is writable: the folder is what to mend.
            QCOMPARE(failure.reason, DataFile::SaveFailure::Reason::FolderNotWritable);
            QCOMPARE(failure.path, QFileInfo(target).canonicalPath());
        }
        QMap<QString, QByteArray> after;
        for (const QString& name : filesIn(folder.path()))
            after[name] = readFile(folder.filePath(name));
        QCOMPARE(after, before);
    }

    void plantedBackupSlotIsNeverWrittenThrough_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::newRow("dangling link") << "dangling link";
        QTest::newRow("link to a file") << "link to a file";
        QTest::newRow("folder") << "folder";
    }

    void plantedBackupSlotIsNeverWrittenThrough()
    {
        QFETCH(QString, planted);
        QTemporaryDir folder;
        QTemporaryDir elsewhere;
        const QString target = folder.filePath("private.zv");
        const QString aim = elsewhere.filePath("stolen.zv");
        DataDocument document;
        loadOrFail(document, SampleText);
        QCOMPARE(DataFile::save(target, "secret", document, true), DataFile::Status::Ok);
        const QByteArray before = readFile(target);
        const QString slot = folder.filePath("~1_private.zv");
        if (planted == "folder") {
            QVERIFY(QDir().mkdir(slot));
        } else {
            if (planted == "link to a file")
                writeFile(aim, "theirs");
            QVERIFY(QFile::link(aim, slot));
        }
        QString detail;
        QCOMPARE(DataFile::save(target, "secret", document, true, &detail), DataFile::Status::CannotWrite);
        QVERIFY(detail.contains("~1_private.zv"));
        DataFile::SaveFailure failure;
        QCOMPARE(DataFile::save(target, "secret", document, true, failure), DataFile::Status::CannotWrite);
        QCOMPARE(failure.reason, DataFile::SaveFailure::Reason::BackupSlotNotAFile);
        QCOMPARE(failure.path, QFileInfo(slot).absoluteFilePath());
        QCOMPARE(readFile(target), before);
        QCOMPARE(filesIn(elsewhere.path()), planted == "link to a file" ? QStringList{"stolen.zv"} : QStringList{});
        if (planted == "link to a file")
            QCOMPARE(readFile(aim), QByteArray("theirs"));
    }

    void saveKeepsTheFilesModeAndBackupsArePrivate()
    {
        QTemporaryDir folder;
        const QString target = folder.filePath("shared.zv");
        DataDocument document;
        loadOrFail(document, SampleText);
        QCOMPARE(DataFile::save(target, "secret", document, true), DataFile::Status::Ok);
        const auto groupShared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(target, groupShared));
        QCOMPARE(DataFile::save(target, "secret", document, true), DataFile::Status::Ok);
        // Owner, group and others; the "user" bits only repeat the owner's.
        const auto mode = [](const QString& file) { return QFile::permissions(file) & 0x7077; };
        QCOMPARE(mode(target), QFile::Permissions(groupShared));
        QCOMPARE(mode(folder.filePath("~1_shared.zv")), QFile::Permissions(QFile::ReadOwner | QFile::WriteOwner));
    }

    void saveThroughALinkKeepsTheLink()
    {
        QTemporaryDir linkFolder;
        QTemporaryDir realFolder;
        const QString real = realFolder.filePath("real.zv");
        const QString link = linkFolder.filePath("link.zv");
        DataDocument document;
        loadOrFail(document, SampleText);
        QCOMPARE(DataFile::save(real, "secret", document, false), DataFile::Status::Ok);
        QVERIFY(QFile::link(real, link));
        DataDocument changed;
        loadOrFail(changed, "<data><folder name=\"new\" type=\"AUTO\"/></data>");
        for (int save = 0; save < 2; ++save)
            QCOMPARE(DataFile::save(link, "secret", changed, true), DataFile::Status::Ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QCOMPARE(DataFile::read(real, "secret", document), DataFile::Status::Ok);
        QCOMPARE(document.toText(), changed.toText());
        QCOMPARE(filesIn(realFolder.path()), (QStringList{"real.zv", "~1_real.zv", "~2_real.zv"}));
        QCOMPARE(filesIn(linkFolder.path()), QStringList{"link.zv"});
    }

    void removingBackupsTakesRegularFilesOnly()
    {
        QTemporaryDir folder;
        QTemporaryDir elsewhere;
        const QString target = folder.filePath("private.zv");
        DataDocument document;
        loadOrFail(document, SampleText);
        for (int save = 0; save < 3; ++save)
            QCOMPARE(DataFile::save(target, "secret", document, true), DataFile::Status::Ok);
        const QString kept = elsewhere.filePath("kept.zv");
        writeFile(kept, "theirs");
        QVERIFY(QFile::remove(folder.filePath("~2_private.zv")));
        QVERIFY(QFile::link(kept, folder.filePath("~2_private.zv")));
        QCOMPARE(Backups::existingBackups(target), (QStringList{folder.filePath("~1_private.zv")}));
        QCOMPARE(Backups::removeBackups(target), (QStringList{folder.filePath("~1_private.zv")}));
        QCOMPARE(filesIn(folder.path()), (QStringList{"private.zv", "~2_private.zv"}));
        QCOMPARE(readFile(kept), QByteArray("theirs"));
    }

    // Killed saves leave their hidden copies; only those go, never a file of
    // a like name that is not one of them.
    void leftoversOfKilledSavesGo_data()
    {
        QTest::addColumn<bool>("bySaving"); // else by removing the backups
        QTest::newRow("at the next save") << true;
        QTest::newRow("with the backups") << false;
    }

    void leftoversOfKilledSavesGo()
    {
        QFETCH(bool, bySaving);
        QTemporaryDir folder;
        const QString target = folder.filePath("private.zv");
        DataDocument document;
        loadOrFail(document, SampleText);
        QCOMPARE(DataFile::save(target, "old", document, false), DataFile::Status::Ok);
        const QByteArray old = readFile(target);
        for (const char* name : {".private.zv.aBcDeF", ".~0123abcd_private.zv", ".other.zv.aBcDeF"})
            writeFile(folder.filePath(name), old);
        writeFile(folder.filePath(".private.zv.NoTeS1"), "the user's own");
        QVERIFY(QFile::link(target, folder.filePath(".private.zv.LiNkEd")));
        QVERIFY(QDir(folder.path()).mkdir(".~fedcba98_private.zv"));

        if (bySaving)
            QCOMPARE(DataFile::save(target, "new", document, false), DataFile::Status::Ok);
        else
            QCOMPARE(Backups::removeBackups(target),
                     (QStringList{folder.filePath(".private.zv.aBcDeF"), folder.filePath(".~0123abcd_private.zv")}));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{".other.zv.aBcDeF", ".private.zv.LiNkEd", ".private.zv.NoTeS1", ".~fedcba98_private.zv",
                              "private.zv"}));
    }

    void savingWithoutBackupsLeavesNone()
    {
        QTemporaryDir folder;
        DataDocument document;
        for (int save = 0; save < 2; ++save)
            QCOMPARE(DataFile::save(folder.filePath("plain.zv"), "secret", document, false), DataFile::Status::Ok);
        QCOMPARE(filesIn(folder.path()), QStringList{"plain.zv"});
    }

    void passwordTestIgnoresTheMagic()
    {
        DataDocument document;
        loadOrFail(document, SampleText);
        const QString target = path("magic.zv");
        QCOMPARE(DataFile::write(target, "secret", document), DataFile::Status::Ok);
        QByteArray bytes = readFile(target);
        bytes.replace(0, 10, "XXXXXXXXXX");
        writeFile(target, bytes);
        QVERIFY(DataFile::checkPassword(target, "secret"));
        QCOMPARE(DataFile::read(target, "secret", document), DataFile::Status::IncorrectFormat);
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
