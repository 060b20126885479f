#include "base/TextEncoding.h"
#include "cli/CliTool.h"
#include "cli/TerminalText.h"
#include "datafile/DataFile.h"
#include "datafile/DataFileLock.h"
#include "datafile/DerivationBudget.h"
#include "datafile/Passphrase.h"
#include "document/FieldFormats.h"
#include "document/OneTimeCode.h"
#include "health/PasswordStrength.h"

#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

const QByteArray SampleXml =
    "<data>"
    "<folder name=\"Web\" type=\"BUSINESS\">"
    "<folder name=\"Shops\" type=\"LEISURE\"/>"
    "<record parent_type=\"Web Site\" type=\"WEB SITE\"><label link=\"URL\" link2=\"Login\"></label>"
    "<field name=\"URL\" basic_type=\"TEXT\">example.org</field>"
    "<field name=\"Login\" basic_type=\"TEXT\">jane</field>"
    "<field name=\"Since\" basic_type=\"DATE\">20240502:</field>"
    "<field name=\"Notes\" basic_type=\"LONG TEXT\">my card, old&#13;&#10;cardboard box&#13;&#10;</field>"
    "</record></folder>"
    "<record parent_type=\"Note\" type=\"NOTE\"><label link=\"Text\">Card note</label>"
    "<field name=\"Text\" basic_type=\"LONG TEXT\"></field></record>"
    "</data>";

// Two records of one caption beside a group, and a note at the top level.
const QByteArray TwinsXml = "<data><folder name=\"Web\" type=\"BUSINESS\">"
                            "<record parent_type=\"Web Site\" type=\"WEB SITE\"><label>Mail</label>"
                            "<field name=\"Login\" basic_type=\"TEXT\">jane</field><field name=\"Password\" "
                            "basic_type=\"TEXT\">s3cret</field></record>"
                            "<record parent_type=\"Web Site\" type=\"WEB SITE\"><label>Mail</label>"
                            "<field name=\"Password\" basic_type=\"TEXT\">other</field></record>"
                            "<folder name=\"Old\" type=\"LEISURE\"/></folder>"
                            "<record parent_type=\"Note\" type=\"NOTE\"><label>Note</label>"
                            "<field name=\"Text\" basic_type=\"LONG TEXT\">hi</field></record></data>";

// Answers terminal prompts from a script and remembers what was asked.
class ScriptedTerminal final : public PasswordReader {
public:
    QStringList answers;
    QStringList prompts;
    std::optional<QString> read(const QString& prompt) override
    {
        prompts << prompt;
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }
};

struct Outcome {
    int code;
    QString out;
    QString err;
};

Outcome runTool(const QStringList& arguments, const QString& stdinText = QString(),
                ScriptedTerminal* terminal = nullptr, bool outputIsTerminal = false)
{
    QString inText = stdinText;
    QString outText;
    QString errText;
    QTextStream in(&inText);
    QTextStream out(&outText);
    QTextStream err(&errText);
    ScriptedTerminal none;
    CliTool tool(in, out, err, terminal ? *terminal : none, {outputIsTerminal, outputIsTerminal});
    tool.useCatalogue(TestSupport::sourceDir() + "/data/config.xml");
    tool.useWordList(TestSupport::sourceDir() + "/data/eff_large_wordlist.txt");
    tool.useClipboardHelper(TestSupport::programDir() + "/zantrove-clipboard");
    const int code = tool.run(arguments);
    out.flush();
    err.flush();
    return {code, outText, errText};
}

Outcome withPassword(const QString& password, QStringList arguments)
{
    arguments.prepend(QStringLiteral("--password-stdin"));
    return runTool(arguments, password + QLatin1Char('\n'));
}

// Captions, a field name and a value holding escape sequences, a bell, a lone
// CR and a right-to-left override, as a hostile file may.
const QByteArray HostileXml =
    "<data><folder name=\"Evil&#27;]0;owned&#7;\" type=\"BUSINESS\">"
    "<record parent_type=\"Note\" type=\"NOTE\"><label link=\"Text\">Bell&#7;o</label>"
    "<field name=\"Te&#155;xt\" basic_type=\"LONG TEXT\">one&#13;&#10;two&#27;[2J&#13;three&#8238;exe.txt</field>"
    "</record></folder></data>";

const QString HostileRecordPath = QStringLiteral("Evil\x1b]0;owned\a/Bell\ao");

// Besides tabs and line breaks (LF, CR LF).
bool holdsControls(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool lineBreak = c == u'\n' || (c == u'\r' && text.mid(i + 1, 1) == u"\n");
        if (!lineBreak && c != u'\t' && (c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0x202e))
            return true;
    }
    return false;
}

// A pseudo-terminal that a child takes as its controlling terminal, its
// standard input and its error stream: /dev/tty there is this.
class PseudoTerminal {
public:
    PseudoTerminal()
        : m_master(::posix_openpt(O_RDWR | O_NOCTTY))
    {
        QVERIFY(m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0);
        m_slaveName = ::ptsname(m_master);
        m_slave = ::open(m_slaveName.constData(), O_RDWR | O_NOCTTY);
    }
    ~PseudoTerminal() { ::close(m_slave), ::close(m_master); }
    bool echoing() const
    {
        termios modes{};
        return ::tcgetattr(m_slave, &modes) == 0 && (modes.c_lflag & ECHO) != 0;
    }
    void becomeControllingTerminalOf(QProcess& process) const
    {
        process.setChildProcessModifier([name = m_slaveName] {
            ::setsid();
            const int tty = ::open(name.constData(), O_RDWR);
            ::ioctl(tty, TIOCSCTTY, 0);
            ::dup2(tty, STDIN_FILENO);
            ::dup2(tty, STDERR_FILENO);
        });
    }
    void type(const QByteArray& keys) const { QCOMPARE(::write(m_master, keys.constData(), keys.size()), keys.size()); }

private:
    int m_master;
    QByteArray m_slaveName;
    int m_slave = -1;
};

// The exit codes --help documents.
QSet<int> documentedExitCodes()
{
    const QString help = CliTool::helpText();
    QSet<int> codes;
    const QRegularExpression line(QStringLiteral("^\\s*(\\d+)  \\S"), QRegularExpression::MultilineOption);
    for (const auto& match : line.globalMatch(help.mid(help.indexOf(QStringLiteral("Exit codes:")))))
        codes << match.captured(1).toInt();
    return codes;
}

} // namespace

class TestCliTool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_file;
    // Stands for another program that has inuse.zv open.
    DataFileLock m_otherProgram;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    struct ExitCase {
        const char* name;
        QStringList arguments;
        QString input;
        int code;
    };

    // A case for every documented exit code, its number first in its name.
    QList<ExitCase> exitCases() const
    {
        const QString sample = path("sample.xml");
        return {
            {"0 success", {"list", m_file}, "pw\n", 0},
            {"1 nothing found", {"find", m_file, "nowhere"}, "pw\n", 1},
            {"2 no command", {}, "", 2},
            {"3 missing file", {"list", path("missing.zv")}, "pw\n", 3},
            {"3 file over the size limit", {"list", path("oversized.zv")}, "pw\n", 3},
            {"4 no magic", {"list", sample}, "pw\n", 4},
            {"5 wrong password", {"list", m_file}, "px\n", 5},
            {"6 folder missing", {"import", sample, path("none/new.zv")}, "pw\n", 6},
            {"7 no such record", {"show", m_file, "Web"}, "pw\n", 7},
            {"8 no password", {"list", m_file}, "", 8},
            {"8 password too long", {"list", m_file}, "pw-over-sixteen-chars\n", 8},
            {"8 new password too long", {"passwd", m_file}, "pw\npw-over-sixteen-chars\n", 8},
            {"9 not a data document", {"import", path("other.xml"), path("n.zv")}, "pw\n", 9},
            {"10 target exists", {"import", sample, m_file}, "pw\n", 10},
            {"11 open elsewhere", {"passwd", path("inuse.zv")}, "pw\npw2\n", 11},
            {"11 a pipe at the lock's name", {"passwd", path("oddlock.zv")}, "pw\npw2\n", 11},
            {"11 merge into a file open elsewhere", {"merge", path("inuse.zv"), m_file}, "pw\npw\n", 11},
            {"13 ambiguous path", {"show", path("twins.zv"), "Web/Mail"}, "pw\n", 13},
            // The tests' platform, offscreen, keeps its clipboard to the process.
            {"14 no clipboard for clip", {"clip", path("twins.zv"), "Web/Mail#1"}, "pw\n", 14},
            {"12 derivation too costly",
             {"import", sample, path("costly.zvx"), "--kdf-passes", "64", "--kdf-memory-kib", "4194304"},
             "pw\n",
             12},
        };
    }

private slots:
    void initTestCase()
    {
        writeFile(path("sample.xml"), SampleXml);
        m_file = path("sample.zv");
        const Outcome imported = runTool({"--password-stdin", "import", path("sample.xml"), m_file}, "pw\n");
        QCOMPARE(imported.code, int(CliTool::Success));
        writeFile(path("twins.xml"), TwinsXml);
        QCOMPARE(runTool({"--password-stdin", "import", path("twins.xml"), path("twins.zv")}, "pw\n").code, 0);
        writeFile(path("hostile.xml"), HostileXml);
        QCOMPARE(runTool({"--password-stdin", "import", path("hostile.xml"), path("hostile.zv")}, "pw\n").code,
                 int(CliTool::Success));
        writeFile(path("oversized.zv"), "QM20060718");
        QVERIFY(QFile::resize(path("oversized.zv"), DataFile::MaxFileSize + 1));
        writeFile(path("other.xml"), "<catalogue><data/></catalogue>");
        QVERIFY(QFile::copy(m_file, path("inuse.zv")));
        QCOMPARE(m_otherProgram.acquire(path("inuse.zv")), DataFileLock::Result::Held);
        QVERIFY(QFile::copy(m_file, path("evil-lock.zv")));
        writeFile(DataFileLock::lockFileName(path("evil-lock.zv")), "1\nEvil\x1b]0;owned\a\nfar\xc2\x9b"
                                                                    "away\x1b[2J\n");
        QVERIFY(QFile::copy(m_file, path("oddlock.zv")));
        QCOMPARE(::mkfifo(QFile::encodeName(path(".oddlock.zv.lock")).constData(), 0600), 0);
    }

    // The code page is the process's; each test starts from the default.
    void cleanup() { TextEncoding::setOlderFilesCodePage(CodePage::windows1252()); }

    void passwordsInTheCodePageGiven()
    {
        const QString cyrillic = QString::fromUtf8("пароль");
        const QString file = path("russian.zv");
        QCOMPARE(
            runTool({"--password-stdin", "--code-page", "1251", "import", path("sample.xml"), file}, cyrillic + '\n')
                .code,
            int(CliTool::Success));
        cleanup();
        QCOMPARE(withPassword(cyrillic, {"list", file}).code, int(CliTool::UnusablePassword));
        const Outcome listed = withPassword(cyrillic, {"list", file, "--code-page", "1251"});
        QCOMPARE(listed.code, int(CliTool::Success));
        QCOMPARE(listed.out, withPassword("pw", {"list", m_file}).out);
    }

    void listShowsTheTreeRecordsFirst()
    {
        const Outcome result = withPassword("pw", {"list", m_file});
        QCOMPARE(result.code, int(CliTool::Success));
        QCOMPARE(result.out, QStringLiteral("Card note\nWeb\n  example.org jane\n  Shops\n"));
    }

    void showPrintsFieldsInDisplayForm()
    {
        const Outcome result = withPassword("pw", {"show", m_file, "Web/example.org jane"});
        QCOMPARE(result.code, int(CliTool::Success));
        const QString date = QLocale::system().toString(QDate(2024, 6, 3), QLocale::ShortFormat);
        QCOMPARE(result.out, QStringLiteral("URL: example.org\nLogin: jane\nSince: %1\n"
                                            "Notes: my card, old\n  cardboard box\n")
                                 .arg(date));
        QCOMPARE(withPassword("pw", {"show", m_file, "Web"}).code, int(CliTool::NoSuchRecord));
        QCOMPARE(withPassword("pw", {"show", m_file, "Nowhere/x"}).code, int(CliTool::NoSuchRecord));
    }

    void findMatchesAsTheProgramDoes_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("hits");
        QTest::newRow("caption and value, any case") << QStringList() << "CARD"
                                                     << "Card note\nWeb/example.org jane :: Notes\n";
        QTest::newRow("whole word ends a line") << QStringList{"--whole-words"} << "old"
                                                << "Web/example.org jane :: Notes\n";
        QTest::newRow("whole word not inside a word") << QStringList{"--whole-words"} << "board"
                                                      << "";
        QTest::newRow("field names only on request") << QStringList() << "login"
                                                     << "";
        QTest::newRow("field names") << QStringList{"--field-names"} << "login"
                                     << "Web/example.org jane :: Login\n";
        QTest::newRow("date in display form")
            << QStringList() << QString::number(2024) << "Web/example.org jane :: Since\n";
        QTest::newRow("stored digits are not searched") << QStringList() << "20240502"
                                                        << "";
    }

    void findMatchesAsTheProgramDoes()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, keyword);
        QFETCH(QString, hits);
        const Outcome result = withPassword("pw", QStringList{"find", m_file, keyword} + options);
        QCOMPARE(result.out, hits);
        QCOMPARE(result.code, int(hits.isEmpty() ? CliTool::NothingFound : CliTool::Success));
    }

    void analyzeReportsWhatTheProgramReports()
    {
        const QByteArray soon = FormatStoredDate(QDate::currentDate().addDays(3)).toUtf8();
        writeFile(path("health.xml"),
                  "<data><record><label>Mail</label><field name='Password' basic_type='TEXT'>letmein</field></record>"
                  "<folder name='Web'><record><label>Shop</label><field name='Password' basic_type='TEXT'>letmein"
                  "</field><field name='Expiry' basic_type='DATE'>"
                      + soon + "</field></record></folder></data>");
        QCOMPARE(runTool({"--password-stdin", "import", path("health.xml"), path("health.zv")}, "pw\n").code,
                 int(CliTool::Success));
        const QByteArray hash = QCryptographicHash::hash("letmein", QCryptographicHash::Sha1).toHex().toUpper();
        writeFile(path("pwned.txt"), "0000000000000000000000000000000000000001:3\r\n" + hash
                                         + ":51\r\nFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF:9\r\n");
        const Outcome result =
            runTool({"--password-stdin", "analyze", path("health.zv"), "--breaches", path("pwned.txt")}, "pw\n");
        QCOMPARE(result.code, int(CliTool::Success));
        const QString bits = QString::number(qint64(PasswordStrength::estimatedBits(QStringLiteral("letmein"))));
        const QString password = QStringLiteral("Password :: %1 password (%2)\n");
        QCOMPARE(result.out, "Mail :: " + password.arg("Weak", "Strength: " + bits + " bits")
                                 + "Mail :: " + password.arg("Reused", "Records with it: 2")
                                 + "Mail :: " + password.arg("Breached", "Times seen in breaches: 51")
                                 + "Web/Shop :: " + password.arg("Weak", "Strength: " + bits + " bits")
                                 + "Web/Shop :: " + password.arg("Reused", "Records with it: 2")
                                 + "Web/Shop :: " + password.arg("Breached", "Times seen in breaches: 51")
                                 + "Web/Shop :: Expiry :: Expires soon (" + dateDisplayText(QString::fromUtf8(soon))
                                 + ")\n");
        QCOMPARE(
            runTool({"--password-stdin", "analyze", path("health.zv"), "--breaches", path("none.txt")}, "pw\n").code,
            int(CliTool::CannotRead));
    }

    void readFailuresUseTheProgramsMessages()
    {
        const QByteArray before = readFile(m_file);
        Outcome wrong = withPassword("px", {"list", m_file});
        QCOMPARE(wrong.code, int(CliTool::CannotOpen));
        QCOMPARE(wrong.err, QStringLiteral("Can't open data file. Make sure you have entered correct password\n"));
        QVERIFY(wrong.out.isEmpty());

        writeFile(path("plain.zv"), "not a data file at all");
        Outcome format = withPassword("pw", {"list", path("plain.zv")});
        QCOMPARE(format.code, int(CliTool::IncorrectFormat));
        QCOMPARE(format.err, QStringLiteral("Incorrect file format\n"));

        QCOMPARE(withPassword("pw", {"list", path("missing.zv")}).code, int(CliTool::CannotRead));
        writeFile(path("huge.zv"), "QM20060718");
        QVERIFY(QFile::resize(path("huge.zv"), qint64(1) << 30));
        Outcome huge = withPassword("pw", {"list", path("huge.zv")});
        QCOMPARE(huge.code, int(CliTool::CannotRead));
        QVERIFY(huge.err.startsWith(wrong.err.trimmed() + QStringLiteral(": ")));
        QFile::remove(path("huge.zv"));
        QCOMPARE(runTool({"--password-stdin", "list", m_file}, "").code, int(CliTool::UnusablePassword));
        QCOMPARE(readFile(m_file), before);
    }

    void passwordsNeverReachTheOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input");
        QTest::newRow("wrong password") << QStringList{"list", m_file} << "Zq9wrong\n";
        QTest::newRow("new password too long") << QStringList{"passwd", m_file} << "pw\nZq9-far-too-long-a-password\n";
        QTest::newRow("new password outside the code page")
            << QStringList{"passwd", m_file} << QString::fromUtf8("pw\nZq9пароль\n");
        QTest::newRow("import over an existing file")
            << QStringList{"import", path("sample.xml"), m_file} << "Zq9new\n";
    }

    void passwordsNeverReachTheOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        const Outcome result = runTool(QStringList{"--password-stdin"} + arguments, input);
        QVERIFY(result.code != int(CliTool::Success));
        QVERIFY(!result.err.isEmpty());
        QVERIFY(!result.err.contains(QStringLiteral("Zq9")));
        QVERIFY(!result.out.contains(QStringLiteral("Zq9")));
    }

    // Both formats through every writing command; the cheapest derivation keeps it quick.
    void protectedFilesThroughEveryCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("info");
        const QStringList cheap{"--kdf-passes", "1", "--kdf-memory-kib", "8192"};
        const QString longPassword = QString::fromUtf8("a passphrase of more than sixteen characters, ключ");
        QTest::newRow("import protected")
            << QStringList{"import", path("sample.xml"), path("a.zvx")} + cheap << longPassword + "\n"
            << 0 << "1 passes, 8192 KiB";
        QTest::newRow("convert to protected")
            << QStringList{"convert", m_file, path("b.zvx"), "--kdf-passes", "2", "--kdf-memory-kib", "9000"}
            << "pw\n" + longPassword + "\n"
            << 0 << "2 passes, 9000 KiB";
        QTest::newRow("passwd keeps format and cost")
            << QStringList{"passwd", path("b.zvx")} << longPassword + "\nnew one\n"
            << 0 << "2 passes, 9000 KiB";
        QTest::newRow("back to .zv") << QStringList{"convert", path("b.zvx"), path("c.zv")} << "new one\nshort\n"
                                     << 0 << "format: .zv";
        QTest::newRow("too long for .zv")
            << QStringList{"convert", path("b.zvx"), path("d.zv")} << "new one\n" + longPassword + "\n"
            << 8 << QString();
        QTest::newRow("cost for a .zv") << QStringList{"convert", m_file, path("e.zv"), "--kdf-passes", "2"} << "pw\n"
                                        << 2 << QString();
        QTest::newRow("cost beyond the limit")
            << QStringList{"import", path("sample.xml"), path("f.zvx"), "--kdf-memory-kib", "1024"} << "pw\n"
            << 2 << QString();
        QTest::newRow("taken target") << QStringList{"convert", m_file, path("a.zvx")} << "pw\nx\n" << 10 << QString();
        QTest::newRow("info of no data file") << QStringList{"info", path("sample.xml")} << QString() << 4 << QString();
    }

    void protectedFilesThroughEveryCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(int, code);
        QFETCH(QString, info);
        const Outcome outcome = runTool(QStringList{"--password-stdin"} + arguments, input);
        QVERIFY2(outcome.code == code, qPrintable(outcome.err));
        if (info.isEmpty())
            return;
        const QString written = arguments.at(arguments.first() == "passwd" ? 1 : 2);
        QVERIFY(runTool({"info", written}).out.contains(info));
        // The new password opens the written file, and it holds the sample's tree.
        const QString newPassword = input.split('\n', Qt::SkipEmptyParts).last();
        QCOMPARE(runTool({"--password-stdin", "list", written}, newPassword + "\n").out,
                 runTool({"--password-stdin", "list", m_file}, "pw\n").out);
    }

    // Judged on a machine of known speed and memory, from the file's header
    // or the options, before any password is asked.
    void costlyDerivationsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<quint64>("physicalMiB");
        QTest::addColumn<QString>("refusal"); // none: the command works
        const QString slow = "The key derivation (2 passes over 8 MiB) would take about 16 seconds here; "
                             "--allow-slow-kdf lets it run\n";
        const QStringList cost{"--kdf-passes", "2", "--kdf-memory-kib", "8192"};
        QTest::newRow("reading slowly") << QStringList{"list", path("slow.zvx")} << 4096ull << slow;
        QTest::newRow("reading slowly, allowed")
            << QStringList{"--allow-slow-kdf", "list", path("slow.zvx")} << 4096ull << QString();
        QTest::newRow("writing slowly") << QStringList{"convert", m_file, path("slow2.zvx")} + cost << 4096ull << slow;
        QTest::newRow("beyond the memory, even allowed")
            << QStringList{"--allow-slow-kdf", "list", path("slow.zvx")} << 15ull
            << "The key derivation takes 8 MiB, more than half of this machine's memory; it is refused\n";
    }

    void costlyDerivationsAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(quint64, physicalMiB);
        QFETCH(QString, refusal);
        if (!QFile::exists(path("slow.zvx")))
            QCOMPARE(runTool({"--password-stdin", "convert", m_file, path("slow.zvx"), "--kdf-passes", "2",
                              "--kdf-memory-kib", "8192"},
                             "pw\npw\n")
                         .code,
                     0);
        DerivationBudget::assumeMachine(DerivationBudget::Machine{1.0, physicalMiB << 20});
        const auto measured = qScopeGuard([] { DerivationBudget::assumeMachine(std::nullopt); });
        const Outcome outcome = runTool(QStringList{"--password-stdin"} + arguments, "pw\npw\n");
        QCOMPARE(outcome.err, refusal);
        QCOMPARE(outcome.code, refusal.isEmpty() ? 0 : int(CliTool::CostlyDerivation));
        QVERIFY(!QFile::exists(path("slow2.zvx")));
    }

    void passwdNamesWhoHasTheFileOpen()
    {
        const QByteArray before = readFile(path("inuse.zv"));
        const Outcome refused = runTool({"--password-stdin", "passwd", path("inuse.zv")}, "pw\npw2\n");
        QCOMPARE(refused.code, int(CliTool::FileInUse));
        QVERIFY2(refused.err.contains(QStringLiteral("process %1 ").arg(QCoreApplication::applicationPid())),
                 qPrintable(refused.err));
        QCOMPARE(readFile(path("inuse.zv")), before);
    }

    void importRefusesWhatItCannotWriteSafely()
    {
        QCOMPARE(runTool({"--password-stdin", "import", path("other.xml"), path("new.zv")}, "pw\n").code,
                 int(CliTool::NotADataDocument));
        QVERIFY(!QFile::exists(path("new.zv")));

        const QByteArray before = readFile(m_file);
        QCOMPARE(runTool({"--password-stdin", "import", path("sample.xml"), m_file}, "pw\n").code,
                 int(CliTool::TargetExists));
        QCOMPARE(readFile(m_file), before);

        QCOMPARE(runTool({"--password-stdin", "import", path("sample.xml"), path("cyrillic.zv")},
                         QString::fromUtf8("пароль\n"))
                     .code,
                 int(CliTool::UnusablePassword));
        QVERIFY(!QFile::exists(path("cyrillic.zv")));

        // A dangling link is a taken name: nothing is made where it leads.
        QVERIFY(QFile::link(path("elsewhere.zv"), path("dangling.zv")));
        QCOMPARE(runTool({"--password-stdin", "import", path("sample.xml"), path("dangling.zv")}, "pw\n").code,
                 int(CliTool::TargetExists));
        QVERIFY(!QFile::exists(path("elsewhere.zv")));
    }

    void otherManagersFilesThroughTheTool_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("summary");
        QTest::newRow("csv") << "csv"
                             << QByteArray("Group,Title,Username,Password,URL,Notes,PIN\r\n"
                                           "Bank,Card,,pw,,\"a\nb\",1234\r\n")
                             << "Imported 1 record in 2 groups.";
        QTest::newRow("keepass-xml") << "keepass-xml"
                                     << QByteArray(
                                            "<KeePassFile><Root><Group><Name>R</Name><Group><Name>Bank</Name><Entry>"
                                            "<String><Key>Title</Key><Value>Card</Value></String>"
                                            "<String><Key>Password</Key><Value>pw</Value></String>"
                                            "<String><Key>Notes</Key><Value>a\nb</Value></String>"
                                            "<String><Key>PIN</Key><Value>1234</Value></String>"
                                            "<Binary/></Entry></Group></Group></Root></KeePassFile>")
                                     << "Imported 1 record in 2 groups; 1 attachment was not imported.";
    }

    void otherManagersFilesThroughTheTool()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, input);
        QFETCH(QString, summary);
        const QString source = path("in-" + format);
        writeFile(source, input);
        const QString target = path("from-" + format + ".zv");
        const Outcome imported = withPassword("pw", {"import", "--from", format, source, target});
        QCOMPARE(imported.code, int(CliTool::Success));
        QCOMPARE(imported.err, summary + "\n");
        // The Password type's Service repeats the title and goes out as a column of its own.
        const Outcome exported = withPassword("pw", {"export", target, "--to", "csv"});
        QCOMPARE(exported.code, int(CliTool::Success));
        QCOMPARE(exported.out, "Group,Title,Username,Password,URL,Notes,Service,PIN\r\n"
                               "in-"
                                   + format + "/Bank,Card,,pw,,\"a\nb\",Card,1234\r\n");

        writeFile(source, format == "csv" ? input + "\"open\n" : input.left(input.size() / 2));
        const Outcome malformed = withPassword("pw", {"import", "--from", format, source, path("never.zv")});
        QCOMPARE(malformed.code, int(CliTool::NotADataDocument));
        QVERIFY2(malformed.err.contains("line "), qPrintable(malformed.err));
        QVERIFY(!QFile::exists(path("never.zv")));
    }

    void refusedInputsWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("error");
        QTest::newRow("NUL in a CSV value") << QByteArray("Title,Notes\nA,\"x\0y\"\n", 18) << "line 2: a NUL character";
        QTest::newRow("reference to NUL in KeePass XML")
            << QByteArray("<KeePassFile><Root><Group><Entry><String><Key>Title</Key>\n<Value>a&#x00;b</Value>"
                          "</String></Entry></Group></Root></KeePassFile>")
            << "line 2: a reference to character 0 (&#x00;)";
        QTest::newRow("header naming no known column")
            << QByteArray("colour,size\nred,4\n") << "line 1: the header line names no known column";
        QTest::newRow("data is no header")
            << QByteArray("https://a.example,jo\n") << "line 1: the header line names no known column";
        QTest::newRow("encrypted Bitwarden JSON")
            << QByteArray("{\"encrypted\": true, \"items\": []}") << "an encrypted Bitwarden export";
        QTest::newRow("Password Safe XML cut short") << QByteArray("<passwordsafe>\n<entry><title>") << "line 2: ";
        QTest::newRow("broken UTF-16") << QByteArray("\xFF\xFE\x00\xD8", 4) << "not well-formed UTF-16";
    }

    void refusedInputsWriteNothing()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, error);
        writeFile(path("refused"), input);
        const Outcome refused = withPassword("pw", {"import", path("refused"), path("never.zv")});
        QCOMPARE(refused.code, int(CliTool::NotADataDocument));
        QVERIFY2(refused.err.contains(error), qPrintable(refused.err));
        QVERIFY(!QFile::exists(path("never.zv")));
    }

    // The other file in the other format and password, one value changed and a record added.
    void mergeKeepsTheFilesFormatAndPassword()
    {
        const QString target = path("merged.zv");
        QVERIFY(QFile::copy(m_file, target));
        QByteArray laptop = SampleXml;
        laptop.replace("20240502:", "20250101:")
            .replace("</data>", "<record parent_type=\"Note\" type=\"NOTE\">"
                                "<label link=\"\">New</label></record></data>");
        writeFile(path("laptop.xml"), laptop);
        QCOMPARE(runTool({"--password-stdin", "import", path("laptop.xml"), path("laptop.zvx"), "--kdf-passes", "1",
                          "--kdf-memory-kib", "8192"},
                         "other\n")
                     .code,
                 int(CliTool::Success));

        const Outcome merged = runTool({"--password-stdin", "merge", target, path("laptop.zvx")}, "pw\nother\n");
        QCOMPARE(merged.code, int(CliTool::Success));
        QCOMPARE(merged.out.split('\n').mid(2, 3),
                 (QStringList{"Records added: 1", "Fields added: 0",
                              "Values that differ, kept beside the document's own as “… (from laptop)”: 1"}));
        QVERIFY(withPassword("pw", {"show", target, "Web/example.org jane"}).out.contains("Since (from laptop): "));
        QCOMPARE(DataFile::sealingOf(target).format, DataFile::Format::Plain);
        QCOMPARE(readFile(path("~1_merged.zv")), readFile(m_file));
        // Merged again, it adds nothing and leaves the file alone.
        const QByteArray once = readFile(target);
        QVERIFY(runTool({"--password-stdin", "merge", target, path("laptop.zvx")}, "pw\nother\n")
                    .out.contains("holds nothing"));
        QCOMPARE(readFile(target), once);
    }

    void exitCodesAreTheDocumentedOnes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("code");
        for (const ExitCase& exit : exitCases())
            QTest::newRow(exit.name) << exit.arguments << exit.input << exit.code;
    }

    void exitCodesAreTheDocumentedOnes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(int, code);
        QCOMPARE(runTool(QStringList{"--password-stdin"} + arguments, input).code, code);
    }

    void everyDocumentedExitCodeIsTested()
    {
        QSet<int> tested;
        for (const ExitCase& exit : exitCases())
            tested << exit.code;
        QCOMPARE(tested, documentedExitCodes());
    }

    void controlCharactersReachOnlyAPipe_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("terminal");
        const QString file = path("hostile.zv");
        for (const bool terminal : {true, false}) {
            const char* to = terminal ? "to a terminal" : "to a pipe";
            QTest::addRow("list %s", to) << QStringList{"list", file} << 0 << terminal;
            QTest::addRow("show %s", to) << QStringList{"show", file, HostileRecordPath} << 0 << terminal;
            QTest::addRow("find %s", to) << QStringList{"find", file, "o"} << 0 << terminal;
            QTest::addRow("show json %s", to)
                << QStringList{"show", file, HostileRecordPath, "--json"} << 0 << terminal;
            QTest::addRow("export %s", to) << QStringList{"export", file} << 0 << terminal;
            QTest::addRow("export csv %s", to) << QStringList{"export", file, "--to", "csv"} << 0 << terminal;
            // The program and host a planted lock file names.
            QTest::addRow("passwd %s", to)
                << QStringList{"passwd", path("evil-lock.zv")} << int(CliTool::FileInUse) << terminal;
        }
    }

    void controlCharactersReachOnlyAPipe()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(bool, terminal);
        const Outcome result = runTool(QStringList{"--password-stdin"} + arguments, "pw\n", nullptr, terminal);
        QCOMPARE(result.code, code);
        const QString shown = result.out + result.err;
        QCOMPARE(holdsControls(shown), !terminal);
        QCOMPARE(shown.contains(QChar::ReplacementCharacter), terminal);
        // Only the controls go: every line the pipe gets is still there.
        const Outcome piped = runTool(QStringList{"--password-stdin"} + arguments, "pw\n");
        QCOMPARE(shown.count(QLatin1Char('\n')), (piped.out + piped.err).count(QLatin1Char('\n')));
    }

    void documentsKeepOnlyTheirLineBreaksOnATerminal_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("shown");
        // Whole controls, marks and CR LF the export cases above show.
        QTest::newRow("CR LF split between pieces") << QStringList{"a\r", "\nb"} << "a\r\nb";
        QTest::newRow("lone CR, also at a piece's end")
            << QStringList{"a\rb\r", "c\r"} << QString("a%1b%1c%1").arg(QChar(QChar::ReplacementCharacter));
    }

    void documentsKeepOnlyTheirLineBreaksOnATerminal()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, shown);
        TerminalText::DocumentFilter filter;
        QString text;
        for (const QString& piece : pieces)
            text += filter(piece);
        QCOMPARE(text + filter.finish(), shown);
    }

    void passwdReportsOrRemovesBackupsUnderTheOldPassword_data()
    {
        QTest::addColumn<bool>("backups");
        QTest::addColumn<bool>("remove");
        QTest::newRow("kept, and reported") << true << false;
        QTest::newRow("removed on request") << true << true;
        QTest::newRow("none to report") << false << false;
    }

    void passwdReportsOrRemovesBackupsUnderTheOldPassword()
    {
        QFETCH(bool, backups);
        QFETCH(bool, remove);
        const QTemporaryDir dir;
        const QString file = dir.filePath("keyed.zv");
        const QString victim = dir.filePath("victim.zv");
        QVERIFY(QFile::copy(m_file, file));
        QVERIFY(QFile::copy(m_file, victim));
        const QStringList oldKeyed{dir.filePath("~1_keyed.zv"), dir.filePath("~3_keyed.zv")};
        if (backups) {
            for (const QString& backup : oldKeyed)
                QVERIFY(QFile::copy(m_file, backup));
            // Not a backup but a link: neither it nor what it leads to goes.
            QVERIFY(QFile::link(victim, dir.filePath("~2_keyed.zv")));
        }
        QStringList arguments{"--password-stdin", "passwd", file};
        if (remove)
            arguments << "--remove-backups";
        const Outcome result = runTool(arguments, "pw\nnew\n");
        QCOMPARE(result.code, int(CliTool::Success));
        const bool left = backups && !remove;
        for (const QString& backup : oldKeyed) {
            QCOMPARE(QFile::exists(backup), left);
            QCOMPARE(result.err.contains(backup), backups);
        }
        QCOMPARE(result.err.contains(QStringLiteral("old password")), left);
        QCOMPARE(QFileInfo(dir.filePath("~2_keyed.zv")).isSymLink(), backups);
        QCOMPARE(readFile(victim), readFile(m_file));
    }

    // Ctrl+C at a password prompt on a real (pseudo-)terminal.
    void interruptedPromptGivesTheEchoBack()
    {
        PseudoTerminal terminal;
        QVERIFY(terminal.echoing());
        QProcess process;
        terminal.becomeControllingTerminalOf(process);
        process.start(QStringLiteral(ZV_CLI_PATH), {"list", m_file});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY(!terminal.echoing());
        terminal.type("\x03");
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QCOMPARE(process.exitCode(), SIGINT);
        QVERIFY(terminal.echoing());
    }

    // Ctrl+Z at a password prompt, then fg: the shell had its echo, the
    // password is still typed unseen.
    void stoppedPromptIsQuietAgainWhenContinued()
    {
        PseudoTerminal terminal;
        QProcess process;
        terminal.becomeControllingTerminalOf(process);
        // A shell with job control puts the tool in a process group of its
        // own, which Ctrl+Z can stop, and continues it after a line.
        process.start("bash", {"-c", "set -m; \"$@\"; echo stopped; read -r; fg", "bash", ZV_CLI_PATH, "list", m_file});
        QTRY_VERIFY(!terminal.echoing());
        terminal.type("\x1a");
        QByteArray output;
        QTRY_VERIFY((output += process.readAllStandardOutput()).contains("stopped"));
        QVERIFY(terminal.echoing());
        terminal.type("\n");
        QTRY_VERIFY(!terminal.echoing());
        terminal.type("pw\n");
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 0);
        QVERIFY((output + process.readAllStandardOutput()).contains("Shops"));
    }

    void terminalPasswordsAreConfirmed()
    {
        ScriptedTerminal terminal;
        terminal.answers = {"pw", "fresh", "fresh!"};
        const QString copy = path("confirm.zv");
        QFile::copy(m_file, copy);
        const QByteArray before = readFile(copy);
        const Outcome result = runTool({"passwd", copy}, QString(), &terminal);
        QCOMPARE(result.code, int(CliTool::UnusablePassword));
        QCOMPARE(terminal.prompts.size(), 3);
        QVERIFY(terminal.prompts.first().contains(QStringLiteral("confirm.zv")));
        QCOMPARE(readFile(copy), before);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{"open", "x.zv"};
        QTest::newRow("list without file") << QStringList{"list"};
        QTest::newRow("show without path") << QStringList{"show", "x.zv"};
        QTest::newRow("code page not offered") << QStringList{"--code-page", "437", "list", "x.zv"};
        QTest::newRow("code page missing") << QStringList{"list", "x.zv", "--code-page"};
        QTest::newRow("generate length below 4") << QStringList{"generate", "--length", "3"};
        QTest::newRow("generate length over 128") << QStringList{"generate", "--length", "129"};
        QTest::newRow("generate length no number") << QStringList{"generate", "--length", "12x"};
        QTest::newRow("generate length missing") << QStringList{"generate", "--count", "2", "--length"};
        QTest::newRow("generate count 0") << QStringList{"generate", "--count", "0"};
        QTest::newRow("generate count absurd") << QStringList{"generate", "--count", "10001"};
        QTest::newRow("generate unknown option") << QStringList{"generate", "--no-digits"};
        QTest::newRow("import from an unknown format") << QStringList{"import", "--from", "json", "a.json", "b.zv"};
        QTest::newRow("export to no format") << QStringList{"export", "x.zv", "--to"};
        QTest::newRow("analyze without file") << QStringList{"analyze"};
        QTest::newRow("analyze breaches without list") << QStringList{"analyze", "x.zv", "--breaches"};
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const Outcome result = runTool(arguments);
        QCOMPARE(result.code, int(CliTool::UsageError));
        // The problem in one line, then where the help is.
        QCOMPARE(result.err.count(u'\n'), 2);
        QVERIFY(result.err.startsWith(QStringLiteral("zantrove-cli: ")));
        QVERIFY(result.err.endsWith(QStringLiteral("\nTry 'zantrove-cli --help'.\n")));
    }

    void generatePrintsOnePasswordALine_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("pattern"); // what every password must match
        QTest::newRow("defaults") << QStringList() << 1 << 20 << "[!-~]*[!-/:-@[-`{-~][!-~]*";
        QTest::newRow("length and count") << QStringList{"--count", "30", "--length", "4"} << 30 << 4 << "[!-~]+";
        QTest::newRow("longest") << QStringList{"--length", "128"} << 1 << 128 << "[!-~]+";
        QTest::newRow("no symbols") << QStringList{"--no-symbols", "--count", "200"} << 200 << 20 << "[A-Za-z0-9]+";
        QTest::newRow("no look-alikes") << QStringList{"--count", "200", "--no-lookalikes"} << 200 << 20
                                        << "[^0Oo1lI|'`\"]+";
        QTest::newRow("options repeated")
            << QStringList{"--length", "9", "--length", "5", "--count", "3"} << 3 << 5 << "[!-~]+";
    }

    void generatePrintsOnePasswordALine()
    {
        QFETCH(QStringList, options);
        QFETCH(int, count);
        QFETCH(int, length);
        QFETCH(QString, pattern);
        const Outcome result = runTool(QStringList{"generate"} + options);
        QCOMPARE(result.code, int(CliTool::Success));
        QVERIFY(result.err.isEmpty());
        QVERIFY(result.out.endsWith('\n'));
        const QStringList passwords = result.out.chopped(1).split('\n');
        QCOMPARE(passwords.size(), count);
        const QRegularExpression valid(QRegularExpression::anchoredPattern(pattern));
        for (const QString& password : passwords) {
            QCOMPARE(password.size(), length);
            QVERIFY2(valid.match(password).hasMatch(), qPrintable(password));
        }
        QCOMPARE(QSet<QString>(passwords.cbegin(), passwords.cend()).size(), passwords.size());
    }

    void generatePrintsPassphrases_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("strength");
        QTest::newRow("six words") << QStringList{"--words", "6"} << 1 << "77 bits\n";
        QTest::newRow("spaces, many") << QStringList{"--count", "50", "--words", "3", "--separator", " "} << 50
                                      << "38 bits each\n";
    }

    void generatePrintsPassphrases()
    {
        QFETCH(QStringList, options);
        QFETCH(int, count);
        const QStringList list = Passphrase::readWordList(TestSupport::sourceDir() + "/data/eff_large_wordlist.txt");
        const Outcome result = runTool(QStringList{"generate"} + options);
        QTEST(result.err, "strength");
        const QStringList passphrases = result.out.chopped(1).split('\n');
        QCOMPARE(QSet<QString>(passphrases.cbegin(), passphrases.cend()).size(), count);
        const int words = options.at(options.indexOf("--words") + 1).toInt();
        const QString separator = options.contains("--separator") ? " " : "-";
        for (const QString& passphrase : passphrases) {
            const QStringList drawn = passphrase.split(separator);
            QCOMPARE(drawn.size(), words);
            QVERIFY2(std::all_of(drawn.cbegin(), drawn.cend(), [&](const QString& w) { return list.contains(w); }),
                     qPrintable(passphrase));
        }
    }

    void totpPrintsTheCurrentCode_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("code");
        QTest::newRow("address") << "Mail" << 0;
        QTest::newRow("seed by its name") << "Bank" << 0;
        QTest::newRow("no code") << "Plain" << 7;
        QTest::newRow("no record") << "Nowhere" << 7;
    }

    void totpPrintsTheCurrentCode()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        const QString seed = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
        const QString records[][3] = {{"Mail", "Key", "otpauth://totp/Mail?secret=" + seed + "&digits=8"},
                                      {"Bank", "otpSecret", seed},
                                      {"Plain", "TOTP", "not a seed"}};
        QString xml = "<data>";
        for (const auto& [label, name, value] : records)
            xml += QString("<record parent_type=\"Note\" type=\"NOTE\"><label>%1</label>"
                           "<field name=\"%2\" basic_type=\"TEXT\">%3</field></record>")
                       .arg(label, name, value.toHtmlEscaped());
        writeFile(this->path("codes.xml"), (xml + "</data>").toUtf8());
        QFile::remove(this->path("codes.zv"));
        QCOMPARE(runTool({"--password-stdin", "import", this->path("codes.xml"), this->path("codes.zv")}, "pw\n").code,
                 0);
        const qint64 before = systemUnixClock()();
        const Outcome result = withPassword("pw", {"totp", this->path("codes.zv"), path, "--seconds-left"});
        const qint64 after = systemUnixClock()();
        QCOMPARE(result.code, code);
        const auto generator = OneTimeCode::fromText(code ? QString() : path == "Bank" ? seed : records[0][2]);
        // Either side of a change of code, should one fall within the run.
        QStringList expected{QString()};
        for (const qint64 time : {before, after})
            if (generator)
                expected << generator->codeAt(time) + '\n' + QString::number(generator->secondsLeftAt(time)) + '\n';
        QVERIFY2(expected.contains(result.out), qPrintable(result.out + result.err));
    }

    // Each change on a fresh copy of twins.zv: the exit code, what it printed,
    // and what list (or the command given) shows afterwards.
    void editingCommandsChangeOnlyWhatTheySay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("check");
        QTest::addColumn<QString>("checked");
        const QStringList list{"list"};
        const QString before = "Note\nWeb\n  Mail#1\n  Mail#2\n  Old\n";
        QTest::newRow("add by key") << QStringList{"add", "Web", "--type", "WEB SITE", "--name", "Shop"} << 0
                                    << "Web/Shop\n"
                                    << list << "Note\nWeb\n  Mail#1\n  Mail#2\n  Shop\n  Old\n";
        QTest::newRow("add by caption, fields") << QStringList{"add",  "/",       "--type",    "web site", "--name",
                                                               "Shop", "--field", "Login=joe", "--field",  "Pin=12=3"}
                                                << 0 << "Shop\n"
                                                << QStringList{"show", "Shop", "--field", "Pin"} << "12=3\n";
        QTest::newRow("add a namesake") << QStringList{"add", "Web", "--type", "NOTE", "--name", "Mail"} << 0
                                        << "Web/Mail#3\n"
                                        << list << "Note\nWeb\n  Mail#1\n  Mail#2\n  Mail#3\n  Old\n";
        QTest::newRow("a caption holding /")
            << QStringList{"add", "Web", "--type", "WEB SITE", "--name", "https://a.example/x", "--field", "Login=joe"}
            << 0 << "Web/https://a.example/x\n"
            << QStringList{"show", "Web/https://a.example/x", "--field", "Login"} << "joe\n";
        QTest::newRow("add unknown type")
            << QStringList{"add", "Web", "--type", "Spaceship"} << 2 << "" << list << before;
        QTest::newRow("add into a record") << QStringList{"add", "Note", "--type", "NOTE"} << 7 << "" << list << before;
        QTest::newRow("mkdir") << QStringList{"mkdir", "Web/Old/New", "--type", "vip", "--no-backups"} << 0
                               << "Web/Old/New\n"
                               << list << before + "    New\n";
        QTest::newRow("mkdir existing") << QStringList{"mkdir", "Web/Old"} << 10 << "" << list << before;
        QTest::newRow("mkdir under nothing") << QStringList{"mkdir", "Gone/New"} << 7 << "" << list << before;
        QTest::newRow("edit rename") << QStringList{"edit", "Web/Mail#2", "--name", "Box"} << 0 << "" << list
                                     << "Note\nWeb\n  Mail\n  Box\n  Old\n";
        QTest::newRow("edit fields") << QStringList{"edit",         "Web/Mail#1",     "--field",
                                                    "Password=new", "--delete-field", "Login"}
                                     << 0 << "" << QStringList{"show", "Web/Mail#1"} << "Password: new\n";
        QTest::newRow("edit ambiguous") << QStringList{"edit", "Web/Mail", "--name", "X"} << 13 << "" << list << before;
        QTest::newRow("edit missing field")
            << QStringList{"edit", "Web/Mail#1", "--delete-field", "Pin"} << 7 << "" << list << before;
        QTest::newRow("edit a group's fields")
            << QStringList{"edit", "Web", "--field", "A=b"} << 2 << "" << list << before;
        QTest::newRow("rm record") << QStringList{"rm", "Web/Mail#1"} << 0 << "" << list
                                   << "Note\nWeb\n  Mail\n  Old\n";
        QTest::newRow("rm group") << QStringList{"rm", "Web"} << 0 << "" << list << "Note\n";
        QTest::newRow("rm nothing") << QStringList{"rm", "Web/Mail#3"} << 7 << "" << list << before;
        QTest::newRow("mv to top") << QStringList{"mv", "Web/Mail#2", "/"} << 0 << "" << list
                                   << "Note\nMail\nWeb\n  Mail\n  Old\n";
        QTest::newRow("mv into own group") << QStringList{"mv", "Web", "Web/Old"} << 2 << "" << list << before;
        QTest::newRow("wrong password") << QStringList{"rm", "Note", "--password", "px"} << 5 << "" << list << before;
    }

    void editingCommandsChangeOnlyWhatTheySay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QStringList, check);
        const QString file = path("edit.zv");
        const QString backup = path("~1_edit.zv");
        QFile::remove(file), QFile::remove(backup);
        QVERIFY(QFile::copy(path("twins.zv"), file));
        const QByteArray original = readFile(file);
        // The file's password, or the wrong one a row names.
        const qsizetype wrong = arguments.indexOf("--password");
        const QString password = wrong < 0 ? "pw" : arguments.takeAt(wrong + 1);
        if (wrong >= 0)
            arguments.removeAt(wrong);
        arguments.insert(1, file);
        const Outcome result = withPassword(password, arguments);
        QVERIFY2(result.code == code, qPrintable(result.err));
        QTEST(result.out, "out");
        // Saved as the program saves: the file it replaced is the newest backup.
        QCOMPARE(QFileInfo::exists(backup), code == 0 && !arguments.contains("--no-backups"));
        if (code != 0)
            QCOMPARE(readFile(file), original);
        check.insert(1, file);
        QTEST(withPassword("pw", check).out, "checked");
    }

    void editingRespectsTheOpenFileLock()
    {
        const QByteArray before = readFile(path("inuse.zv"));
        QCOMPARE(withPassword("pw", {"rm", path("inuse.zv"), "Web"}).code, int(CliTool::FileInUse));
        QCOMPARE(readFile(path("inuse.zv")), before);
    }

    void showMasksSecretsOnATerminalOnly_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("out");
        const QString clear = "Login: jane\nPassword: s3cret\n";
        QTest::newRow("terminal") << QStringList() << true << "Login: jane\nPassword: ********\n";
        QTest::newRow("terminal, asked") << QStringList{"-s"} << true << clear;
        QTest::newRow("terminal, asked long") << QStringList{"--show-secrets"} << true << clear;
        QTest::newRow("pipe") << QStringList() << false << clear;
        QTest::newRow("one field") << QStringList{"--field", "Password"} << true << "s3cret\n";
    }

    void showMasksSecretsOnATerminalOnly()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, terminal);
        const Outcome result =
            runTool(QStringList{"--password-stdin", "show", path("twins.zv"), "Web/Mail#1"} + options, "pw\n", nullptr,
                    terminal);
        QCOMPARE(result.code, 0);
        QTEST(result.out, "out");
    }

    // Each --json document parsed; per item its "ref", and ":: field" for a
    // find hit or "name=value" for each of a record's fields.
    void jsonOutputIsOneDocument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("summary");
        QTest::newRow("list") << QStringList{"list"}
                              << QStringList{"Note", "Web", "Web/Mail#1", "Web/Mail#2", "Web/Old"};
        QTest::newRow("find") << QStringList{"find", "other"} << QStringList{"Web/Mail#2 :: Password"};
        QTest::newRow("show") << QStringList{"show", "Web/Mail#1"}
                              << QStringList{"Web/Mail#1", "Login=jane", "Password=s3cret"};
        QTest::newRow("info") << QStringList{"info"} << QStringList{"format=zv"};
        QTest::newRow("analyze") << QStringList{"analyze"}
                                 << QStringList{"Web/Mail#1 :: Password", "Web/Mail#2 :: Password"};
    }

    void jsonOutputIsOneDocument()
    {
        QFETCH(QStringList, arguments);
        arguments.insert(1, path("twins.zv"));
        const Outcome result = withPassword("pw", arguments << "--json");
        QCOMPARE(result.code, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(result.out));
        QStringList unlikePaths;
        const auto describe = [&unlikePaths](const QJsonObject& item) {
            QStringList parts;
            if (item.contains("ref")) {
                // The path's captions are the ref's steps without their numbers.
                QString steps = item["ref"].toString();
                steps.remove(QRegularExpression("#\\d+"));
                if (item["path"].toVariant().toStringList().join('/') != steps)
                    unlikePaths << steps;
                parts << item["ref"].toString() + (item.contains("field") ? " :: " + item["field"].toString() : "");
            }
            for (const QJsonValue field : item["fields"].toArray())
                parts << field["name"].toString() + '=' + field["value"].toString();
            if (item.contains("format"))
                parts << "format=" + item["format"].toString();
            return parts;
        };
        QStringList summary;
        if (document.isArray()) {
            for (const QJsonValue item : document.array())
                summary << describe(item.toObject());
        } else {
            summary = describe(document.object());
        }
        summary.removeDuplicates();
        QTEST(summary, "summary");
        QVERIFY2(unlikePaths.isEmpty(), qPrintable(unlikePaths.join(", ")));
    }

    void helpAndVersionConventions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("starts");
        QTest::addColumn<QString>("holds");
        QTest::newRow("--help") << QStringList{"--help"} << "Usage: zantrove-cli"
                                << "  clip FILE PATH";
        QTest::newRow("help") << QStringList{"help"} << "Usage: zantrove-cli"
                              << "  mv FILE PATH";
        QTest::newRow("help COMMAND") << QStringList{"help", "mkdir"} << "Usage: zantrove-cli"
                                      << "  mkdir FILE";
        QTest::newRow("--version") << QStringList{"--version"} << "zantrove-cli "
                                   << ".";
        QTest::newRow("version") << QStringList{"version"} << "zantrove-cli "
                                 << ".";
    }

    void helpAndVersionConventions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, starts);
        QFETCH(QString, holds);
        const Outcome result = runTool(arguments);
        QCOMPARE(result.code, 0);
        QVERIFY(result.err.isEmpty());
        QVERIFY(result.out.startsWith(starts));
        QVERIFY(result.out.contains(holds));
        // A command's part is its own: no other command's usage.
        if (arguments.size() == 2)
            QVERIFY(!result.out.contains("  list FILE"));
    }

    // The built tool end to end, as a script would use it.
    void roundTripThroughTheExecutable()
    {
        const auto cli = [](const QStringList& arguments, const QByteArray& input) {
            QProcess process;
            process.start(QStringLiteral(ZV_CLI_PATH), QStringList{"--password-stdin"} + arguments);
            process.write(input);
            process.closeWriteChannel();
            process.waitForFinished();
            return std::make_pair(process.exitCode(), process.readAllStandardOutput());
        };
        const QString file = path("process.zv");
        QCOMPARE(cli({"import", path("sample.xml"), file}, "first\n").first, 0);
        const auto exported = cli({"export", file}, "first\n");
        QCOMPARE(exported.first, 0);

        writeFile(path("exported.xml"), exported.second);
        QCOMPARE(cli({"import", path("exported.xml"), path("again.zv")}, "first\n").first, 0);
        QCOMPARE(readFile(path("again.zv")), readFile(file));

        QCOMPARE(cli({"passwd", file}, "first\nsecond\n").first, 0);
        QCOMPARE(cli({"list", file}, "first\n").first, int(CliTool::CannotOpen));
        const auto listed = cli({"list", file}, "second\n");
        QCOMPARE(listed.first, 0);
        QCOMPARE(listed.second, QByteArray("Card note\nWeb\n  example.org jane\n  Shops\n"));
        QCOMPARE(cli({"export", file}, "second\n").second, exported.second);
    }
};

QTEST_GUILESS_MAIN(TestCliTool)
#include "tst_clitool.moc"
