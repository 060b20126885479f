#include "ProgramFixture.h"

#include "cli/CliTool.h"
#include "config/ProgramPaths.h"
#include "search/KeywordPattern.h"

#include "support/TestSupport.h"

#include <QAction>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <algorithm>

// The manual as the build ships it: a PDF beside the program, where Help ▸
// Manual looks for it, typeset from a source that keeps up with the program.
class TestManual : public QObject {
    Q_OBJECT

private slots:
    void builtManualIsWhereTheProgramLooks();
    void helpManualOpensTheBuiltManual();
    void manualDescribesEveryShippedRecordType();
    void manualListsEveryCommandAndExitCodeOfTheTool();
    void manualNamesWhatSeparatesWholeWords();

private:
    static QString builtManual() { return ProgramPaths(TestSupport::programDir() + "/zantrove").manualFile(); }
    static QStringList manualLines()
    {
        return QString::fromUtf8(TestSupport::readFile(TestSupport::sourceDir() + "/data/manual/manual.md"))
            .split(u'\n');
    }
    static QString tableRow(const QString& firstCell);
};

QString TestManual::tableRow(const QString& firstCell)
{
    const QString start = QStringLiteral("| ") + firstCell + QStringLiteral(" |");
    for (const QString& line : manualLines()) {
        if (line.startsWith(start))
            return line;
    }
    return {};
}

void TestManual::builtManualIsWhereTheProgramLooks()
{
    QVERIFY2(QFileInfo(builtManual()).isFile(), qPrintable(builtManual()));
    const QByteArray pdf = TestSupport::readFile(builtManual());
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    const qsizetype pages = QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")));
    QVERIFY2(pages >= 10, qPrintable(QStringLiteral("%1 pages").arg(pages)));
    // Every picture the source names is in it: a missing file would vanish without a word.
    const qsizetype pictures = manualLines().filter(QRegularExpression(QStringLiteral("^!\\["))).size();
    QVERIFY(pictures > 0);
    QCOMPARE(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Subtype\\s*/Image"))), pictures);
}

void TestManual::helpManualOpensTheBuiltManual()
{
    ProgramFixture fixture;
    QVERIFY(QFile::copy(builtManual(), fixture.path("manual.pdf")));
    fixture.start();
    fixture.main().actions().manual->trigger();
    QVERIFY(fixture.messages.texts().isEmpty());
    QCOMPARE(fixture.launcher.openedUrls, QList<QUrl>{QUrl::fromLocalFile(fixture.path("manual.pdf"))});
}

void TestManual::manualDescribesEveryShippedRecordType()
{
    QFile catalogue(TestSupport::sourceDir() + "/data/config.xml");
    QVERIFY(catalogue.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&catalogue);
    QString row;
    int types = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.attributes().value("name").toString();
        if (xml.name() == QLatin1String("type")) {
            ++types;
            row = tableRow(name);
            QVERIFY2(!row.isEmpty(), qPrintable("no row for the record type " + name));
        } else if (xml.name() == QLatin1String("field")) {
            QVERIFY2(row.contains(name), qPrintable(row + " lacks the field " + name));
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY(types >= 18);
}

void TestManual::manualListsEveryCommandAndExitCodeOfTheTool()
{
    static const QRegularExpression exitCode(QStringLiteral("^ {1,2}(\\d+)  "));
    static const QRegularExpression command(QStringLiteral("^  ([a-z]+) [A-Z[]"));
    int codes = 0;
    int commands = 0;
    for (const QString& line : CliTool::helpText().split(u'\n')) {
        if (const QRegularExpressionMatch match = exitCode.match(line); match.hasMatch()) {
            ++codes;
            QVERIFY2(!tableRow(match.captured(1)).isEmpty(), qPrintable("exit code " + match.captured(1)));
        } else if (const QRegularExpressionMatch match = command.match(line); match.hasMatch()) {
            ++commands;
            const QString name = match.captured(1);
            const QStringList lines = manualLines();
            QVERIFY2(std::any_of(lines.cbegin(), lines.cend(),
                                 [&](const QString& row) { return row.startsWith("| `" + name + ' '); }),
                     qPrintable("command " + name));
        }
    }
    // The help text was read at all: it has eleven codes and seven commands.
    QVERIFY(codes >= 11);
    QVERIFY(commands >= 7);
}

// Each sign below 128 that is not a letter or digit, asked of the search
// itself whether it ends a word, against the manual's paragraph on it.
void TestManual::manualNamesWhatSeparatesWholeWords()
{
    QString paragraph;
    for (const QString& line : manualLines()) {
        if (line.startsWith(QLatin1String("- With **Whole words only**")))
            paragraph = line;
        else if (!paragraph.isEmpty() && line.startsWith(QLatin1String("  ")))
            paragraph += u' ' + line.trimmed();
        else if (!paragraph.isEmpty())
            break;
    }
    static const QRegularExpression signList(QStringLiteral("the signs `([^`]*)`"));
    const QStringList signs = signList.match(paragraph).captured(1).split(u' ');
    QVERIFY2(signs.size() > 1, qPrintable(paragraph));
    for (char16_t code = 1; code < 128; ++code) {
        const QChar sign(code);
        if (sign.isLetterOrNumber())
            continue;
        const bool separates = MatchKeyword(QStringLiteral("card") + sign + u'x', QStringLiteral("card"), true);
        const QString name = sign == u' '                     ? QStringLiteral("the blank")
                             : sign == u'\t'                  ? QStringLiteral("the tab")
                             : sign == u'\r' || sign == u'\n' ? QStringLiteral("the line break")
                                                              : QString();
        const bool named = name.isEmpty() ? signs.contains(QString(sign)) : paragraph.contains(name);
        QVERIFY2(named == separates, qPrintable(QStringLiteral("character %1").arg(int(code))));
    }
}

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
