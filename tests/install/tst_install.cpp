#include "support/TestSupport.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <filesystem>

// `cmake --install` of this build, staged into a temporary DESTDIR as a
// packager would, with the usual prefix.
class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void programFolderHoldsTheBuiltFiles_data();
    void programFolderHoldsTheBuiltFiles();
    void artworkIsInstalledWhenTheBuildHasIt_data();
    void artworkIsInstalledWhenTheBuildHasIt();
    void programFolderHoldsNothingElse();
    void installsNothingOutsideItsPlaces();

    void commandsAreLinksIntoTheProgramFolder_data();
    void commandsAreLinksIntoTheProgramFolder();
    void desktopEntryStartsTheProgramForItsFiles();
    void installedToolRunsThroughItsLink();

private:
    QString installed(const QString& relative) const { return m_prefix + QLatin1Char('/') + relative; }
    QString programFolder() const { return installed(QStringLiteral("lib/zantrove")); }
    static QString built(const QString& relative) { return TestSupport::programDir() + QLatin1Char('/') + relative; }

    QTemporaryDir m_destDir;
    QString m_prefix;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_destDir.isValid());
    m_prefix = m_destDir.path() + QStringLiteral("/usr/local");
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_destDir.path());
    install.setProcessEnvironment(environment);
    install.start(qEnvironmentVariable("ZV_CMAKE"), {QStringLiteral("--install"), qEnvironmentVariable("ZV_BINARY_DIR"),
                                                     QStringLiteral("--prefix"), QStringLiteral("/usr/local")});
    QVERIFY(install.waitForFinished(60000));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAllStandardError().constData());
}

void TestInstall::programFolderHoldsTheBuiltFiles_data()
{
    QTest::addColumn<QString>("file");
    for (const char* file : {"zantrove", "zantrove-cli", "zantrove-clipboard", "config.xml", "manual.pdf", "sample.zv",
                             "eff_large_wordlist.txt", "languages/Deutsch/lang.ini", "languages/Deutsch/config.xml",
                             "languages/Français/lang.ini", "languages/Русский/lang.ini"})
        QTest::newRow(file) << QString::fromUtf8(file);
}

void TestInstall::programFolderHoldsTheBuiltFiles()
{
    QFETCH(QString, file);
    const QString copy = programFolder() + QLatin1Char('/') + file;
    QVERIFY2(QFileInfo(copy).isFile(), qPrintable(copy));
    QVERIFY2(TestSupport::readFile(copy) == TestSupport::readFile(built(file)),
             qPrintable(file + " differs from the build's"));
}

void TestInstall::artworkIsInstalledWhenTheBuildHasIt_data()
{
    QTest::addColumn<QString>("builtFile");
    QTest::addColumn<QString>("installedFile");
    QTest::newRow("menu icon") << "icons/zantrove.png"
                               << "share/icons/hicolor/256x256/apps/zantrove.png";
    QTest::newRow("scalable menu icon") << "icons/zantrove.svg"
                                        << "share/icons/hicolor/scalable/apps/zantrove.svg";
    QTest::newRow("icons folder") << "icons/zantrove.png"
                                  << "lib/zantrove/icons/zantrove.png";
    QTest::newRow("pictures folder") << "pictures/splash.jpg"
                                     << "lib/zantrove/pictures/splash.jpg";
}

void TestInstall::artworkIsInstalledWhenTheBuildHasIt()
{
    QFETCH(QString, builtFile);
    QFETCH(QString, installedFile);
    const bool builtExists = QFileInfo::exists(built(builtFile));
    QCOMPARE(QFileInfo::exists(installed(installedFile)), builtExists);
    if (builtExists)
        QCOMPARE(TestSupport::readFile(installed(installedFile)), TestSupport::readFile(built(builtFile)));
}

void TestInstall::programFolderHoldsNothingElse()
{
    // Above all no settings file from runs in the build folder.
    QSet<QString> entries;
    for (const QString& entry : QDir(programFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        entries.insert(entry);
    entries.remove(QStringLiteral("icons"));
    entries.remove(QStringLiteral("pictures"));
    const QSet<QString> expected = {
        "zantrove",   "zantrove-cli", "zantrove-clipboard", "config.xml", "eff_large_wordlist.txt",
        "manual.pdf", "sample.zv",    "languages",          "installed"};
    QCOMPARE(entries, expected);
}

void TestInstall::installsNothingOutsideItsPlaces()
{
    // Sources of the desktop's databases only: no mime cache, no default applications.
    const QStringList places = {"usr/local/lib/zantrove/",
                                "usr/local/bin/zantrove",
                                "usr/local/bin/zantrove-cli",
                                "usr/local/share/applications/zantrove.desktop",
                                "usr/local/share/icons/hicolor/",
                                "usr/local/share/mime/packages/zantrove.xml",
                                "usr/local/share/metainfo/org.zantrove.zantrove.metainfo.xml",
                                "usr/local/share/man/man1/zantrove.1.gz",
                                "usr/local/share/man/man1/zantrove-cli.1.gz",
                                "usr/local/share/bash-completion/completions/zantrove-cli",
                                "usr/local/share/doc/zantrove/"};
    const QDir root(m_destDir.path());
    QDirIterator it(m_destDir.path(), QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = root.relativeFilePath(it.next());
        const bool inPlace = std::any_of(places.cbegin(), places.cend(), [&](const QString& place) {
            return place.endsWith(QLatin1Char('/')) ? file.startsWith(place) : file == place;
        });
        QVERIFY2(inPlace, qPrintable(file + " is installed outside the program's places"));
    }
}

void TestInstall::commandsAreLinksIntoTheProgramFolder_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("program") << "zantrove";
    QTest::newRow("command-line tool") << "zantrove-cli";
}

void TestInstall::commandsAreLinksIntoTheProgramFolder()
{
    QFETCH(QString, program);
    const QString link = installed(QStringLiteral("bin/") + program);
    QVERIFY(QFileInfo(link).isSymLink());
    // Relative, so a staged tree still works once it is moved into place.
    QVERIFY(std::filesystem::read_symlink(QFile::encodeName(link).toStdString()).is_relative());
    const QFileInfo target(programFolder() + QLatin1Char('/') + program);
    QCOMPARE(QFileInfo(link).canonicalFilePath(), target.canonicalFilePath());
    QVERIFY(target.isExecutable());
}

void TestInstall::desktopEntryStartsTheProgramForItsFiles()
{
    const QStringList lines =
        QString::fromUtf8(TestSupport::readFile(installed(QStringLiteral("share/applications/zantrove.desktop"))))
            .split(u'\n');
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    for (const char* line : {"Type=Application", "Name=Zantrove", "Exec=zantrove %f", "Icon=zantrove",
                             "Categories=Utility;Security;", "MimeType=application/x-zvfile;application/x-zvxfile;"})
        QVERIFY2(lines.contains(QLatin1String(line)), line);
    QVERIFY(std::any_of(lines.cbegin(), lines.cend(), [](const QString& line) { return line.startsWith("Comment="); }));
}

void TestInstall::installedToolRunsThroughItsLink()
{
    const QString tool = installed(QStringLiteral("bin/zantrove-cli"));
    QProcess help;
    help.start(tool, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(30000));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().startsWith("Usage: zantrove-cli"));

    QProcess list;
    list.start(tool, {QStringLiteral("--password-stdin"), QStringLiteral("list"),
                      programFolder() + QStringLiteral("/sample.zv")});
    list.write("sample\n");
    list.closeWriteChannel();
    QVERIFY(list.waitForFinished(30000));
    QCOMPARE(list.exitCode(), 0);
    QVERIFY(list.readAllStandardOutput().contains("Personal\n"));

    // clip finds its helper in the program folder, not beside the link: the
    // helper, on the tests' offscreen platform, answers that it has no clipboard.
    QProcess clip;
    clip.start(tool, {QStringLiteral("clip"), programFolder() + QStringLiteral("/sample.zv"), QStringLiteral("x")});
    QVERIFY(clip.waitForFinished(30000));
    QCOMPARE(clip.exitCode(), 14);
    QVERIFY(clip.readAllStandardError().contains("offscreen"));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
