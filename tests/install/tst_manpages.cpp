#include "cli/CliTool.h"

#include "support/TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

// The manual pages against the program they describe: every command, option
// and exit code of the tool's --help has its entry, and the build turns each
// source into a compressed page man can show.
class TestManPages : public QObject {
    Q_OBJECT

private slots:
    void toolPageHasEveryEntryOfTheHelp();
    void builtPagesAreCompressedManualPages_data();
    void builtPagesAreCompressedManualPages();

private:
    static QString source(const QString& page)
    {
        return QString::fromUtf8(TestSupport::readFile(TestSupport::sourceDir() + "/packaging/man/" + page + ".scd"));
    }
};

void TestManPages::toolPageHasEveryEntryOfTheHelp()
{
    // In the page, each entry is a paragraph that starts with its bold name.
    const QString page = source(QStringLiteral("zantrove-cli.1"));
    const auto hasEntry = [&](const QString& name) {
        return page.contains(
            QRegularExpression(QStringLiteral("(^|\\n)\\*%1\\*( |\\n)").arg(QRegularExpression::escape(name))));
    };
    static const QRegularExpression exitCode(QStringLiteral("^ {1,2}(\\d+)  "));
    static const QRegularExpression command(QStringLiteral("^  ([a-z]+)( |$)"));
    static const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    int codes = 0;
    int commands = 0;
    for (const QString& line : CliTool::helpText().split(u'\n')) {
        if (const QRegularExpressionMatch match = exitCode.match(line); match.hasMatch()) {
            ++codes;
            QVERIFY2(hasEntry(match.captured(1)), qPrintable("exit code " + match.captured(1)));
        } else if (const QRegularExpressionMatch match = command.match(line); match.hasMatch()) {
            ++commands;
            QVERIFY2(hasEntry(match.captured(1)), qPrintable("command " + match.captured(1)));
        }
        for (const QRegularExpressionMatch& match : option.globalMatch(line))
            QVERIFY2(page.contains("*" + match.captured() + "*"), qPrintable("option " + match.captured()));
    }
    // The help text was read at all.
    QVERIFY(codes >= 11);
    QVERIFY(commands >= 6);
}

void TestManPages::builtPagesAreCompressedManualPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("program") << "zantrove.1";
    QTest::newRow("tool") << "zantrove-cli.1";
}

void TestManPages::builtPagesAreCompressedManualPages()
{
    QFETCH(QString, page);
    QProcess gunzip;
    gunzip.start(QStringLiteral("gzip"), {"-dc", qEnvironmentVariable("ZV_MAN_DIR") + u'/' + page + ".gz"});
    QVERIFY(gunzip.waitForFinished(30000));
    QCOMPARE(gunzip.exitCode(), 0);
    const QString roff = QString::fromUtf8(gunzip.readAllStandardOutput());
    const QString name = page.section(u'.', 0, 0);
    QVERIFY2(roff.contains(QStringLiteral(".TH \"%1\" \"1\"").arg(name)), qPrintable(roff.left(200)));
    QVERIFY(roff.contains(QStringLiteral(".SH NAME")));
    QVERIFY(roff.contains(QStringLiteral(".SH FILES")));
}

QTEST_GUILESS_MAIN(TestManPages)
#include "tst_manpages.moc"
