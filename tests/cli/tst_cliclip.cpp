#include "cli/CliTool.h"

#include "support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A private X server of the test's own; its display number once it is ready.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        const std::string fd = std::to_string(ready[1]);
        const char* arguments[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen", "0",
                                   "640x480x24", "-nolisten",  "tcp",      nullptr};
        if (::posix_spawnp(&m_pid, "Xvfb", nullptr, nullptr, const_cast<char**>(arguments), environ) != 0)
            m_pid = 0;
        ::close(ready[1]);
        // Xvfb writes the number when it accepts clients; end of input when it failed.
        char number[16] = {};
        if (m_pid > 0 && ::read(ready[0], number, sizeof number - 1) > 0)
            m_display = QByteArray(":") + QByteArray(number).trimmed();
        ::close(ready[0]);
    }
    ~PrivateDisplay()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    QByteArray display() const { return m_display; }

private:
    pid_t m_pid = 0;
    QByteArray m_display;
};

// X clients ask for and take the clipboard at the time of the last event they
// saw, and the helper that holds it refuses requests from before its copy. A
// property change on a window of ours brings this process an event of now.
void catchUpWithTheServer()
{
    static QWindow window;
    window.setTitle(QString::number(window.title().toInt() + 1));
    QGuiApplication::sync();
    QCoreApplication::processEvents();
}

QString clipboardText()
{
    catchUpWithTheServer();
    return QGuiApplication::clipboard()->text();
}

} // namespace

class TestCliClip : public QObject {
    Q_OBJECT

public:
    explicit TestCliClip(bool onX)
        : m_onX(onX)
    {
    }

private:
    const bool m_onX;
    QTemporaryDir m_dir;

    int clip(const QStringList& arguments)
    {
        QString input = QStringLiteral("pw\n");
        QString out;
        QString err;
        QTextStream in(&input), outStream(&out), errStream(&err);
        struct : PasswordReader {
            std::optional<QString> read(const QString&) override { return std::nullopt; }
        } noTerminal;
        CliTool tool(in, outStream, errStream, noTerminal, {});
        tool.useClipboardHelper(TestSupport::programDir() + "/zantrove-clipboard");
        return tool.run(QStringList{"--password-stdin"} + arguments);
    }

private slots:
    void initTestCase()
    {
        TestSupport::writeFile(m_dir.filePath("c.xml"),
                               "<data><record parent_type=\"Web Site\" type=\"WEB SITE\"><label>Mail</label>"
                               "<field name=\"Login\" basic_type=\"TEXT\">jane</field>"
                               "<field name=\"Password\" basic_type=\"TEXT\">s3cret</field></record></data>");
        QCOMPARE(clip({"import", m_dir.filePath("c.xml"), m_dir.filePath("c.zv")}), 0);
    }

    void clipCopiesThenClearsOnlyItsOwnValue_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("during");   // on the clipboard while the command waits
        QTest::addColumn<QString>("replaced"); // copied by someone else meanwhile
        QTest::addColumn<QString>("after");
        QTest::newRow("first secret") << QStringList{"Mail", "--timeout", "1"} << 0 << "s3cret"
                                      << ""
                                      << "";
        QTest::newRow("named field") << QStringList{"Mail", "Login", "--timeout", "1"} << 0 << "jane"
                                     << ""
                                     << "";
        QTest::newRow("copied over") << QStringList{"Mail", "--timeout", "30"} << 0 << "s3cret"
                                     << "mine"
                                     << "mine";
        // The helper that held it is gone, and no clipboard manager took it over.
        QTest::newRow("no wait") << QStringList{"Mail", "--timeout", "0"} << 0 << ""
                                 << ""
                                 << "";
        QTest::newRow("no such field") << QStringList{"Mail", "Pin"} << 7 << ""
                                       << ""
                                       << "";
        QTest::newRow("timeout too long") << QStringList{"Mail", "--timeout", "1000"} << 2 << ""
                                          << ""
                                          << "";
    }

    void clipCopiesThenClearsOnlyItsOwnValue()
    {
        if (!m_onX)
            QSKIP("Xvfb is not available: no private X display for the clipboard");
        QFETCH(QStringList, arguments);
        QFETCH(QString, during);
        QFETCH(QString, replaced);
        QGuiApplication::clipboard()->clear();
        QString seen;
        bool hinted = false;
        // Runs inside the command's wait.
        QTimer::singleShot(0, this, [&] {
            seen = clipboardText();
            hinted = QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint") == "secret";
            if (!replaced.isEmpty()) {
                catchUpWithTheServer();
                QGuiApplication::clipboard()->setText(replaced);
            }
        });
        QTEST(clip(QStringList{"clip", m_dir.filePath("c.zv")} + arguments), "code");
        QTEST(clipboardText(), "after");
        if (!during.isEmpty()) {
            QCOMPARE(seen, during);
            QVERIFY(hinted);
        }
    }

    // The built tool where no clipboard can be reached: its own message and
    // exit code, where Qt alone would abort.
    void clipWithoutAClipboardSaysSo_data()
    {
        QTest::addColumn<QStringList>("environment"); // besides no display variables at all
        QTest::addColumn<QString>("message");
        QTest::newRow("no display") << QStringList{} << "clip needs a display (X11 or Wayland)";
        QTest::newRow("X display unreachable")
            << QStringList{"DISPLAY=:65000", "QT_QPA_PLATFORM=xcb"} << "the display cannot be reached (DISPLAY :65000)";
        QTest::newRow("Wayland display unreachable")
            << QStringList{"WAYLAND_DISPLAY=zantrove-none", "QT_QPA_PLATFORM=wayland"}
            << "the display cannot be reached (WAYLAND_DISPLAY zantrove-none)";
        QTest::newRow("clipboard of the process alone")
            << QStringList{"QT_QPA_PLATFORM=offscreen"} << "Qt's platform \"offscreen\" shares no clipboard";
    }

    void clipWithoutAClipboardSaysSo()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, message);
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            variables.remove(name);
        for (const QString& variable : environment)
            variables.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        QProcess tool;
        tool.setProcessEnvironment(variables);
        tool.start(QStringLiteral(ZV_CLI_PATH), {"--password-stdin", "clip", m_dir.filePath("c.zv"), "Mail"});
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 14);
        // Before the password is asked: standard input gave none.
        QCOMPARE(QString::fromUtf8(tool.readAllStandardError()), "No clipboard: " + message + '\n');
    }
};

int main(int argc, char* argv[])
{
    const PrivateDisplay x;
    if (!x.display().isEmpty()) {
        qputenv("DISPLAY", x.display());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QGuiApplication application(argc, argv);
    TestCliClip test(!x.display().isEmpty());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cliclip.moc"
