#include "config/FileAssociation.h"

#include "support/TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// The Debian package of this build, made by CPack into a temporary folder and
// read back with dpkg-deb, as apt would see it.
class TestPackage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void packageIsNamedForItsVersionAndArchitecture();
    void controlFields_data();
    void controlFields();
    void holdsItsFiles_data();
    void holdsItsFiles();
    void installsOnlyUnderUsrAndOwnedByRoot();
    void fileTypesAreTheOnesTheProgramRegisters();
    void metainfoHasReleaseNotesForThisVersion();

private:
    static QString run(const QString& program, const QStringList& arguments);
    QString unpacked(const QString& path) const { return m_dir.path() + QStringLiteral("/root/") + path; }
    // type -> glob pattern of each mime type in a shared-mime-info file
    static QMap<QString, QString> mimeGlobs(const QString& path);

    QTemporaryDir m_dir;
    QString m_package;
    QString m_contents;
};

QString TestPackage::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    // The bare C locale of a fresh root shell, which cannot hold the language
    // folders' names: the package is made all the same.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.remove(QStringLiteral("LANG"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestPackage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString packages = m_dir.path() + QStringLiteral("/packages");
    QVERIFY(!run(qEnvironmentVariable("ZV_CPACK"),
                 {"--config", qEnvironmentVariable("ZV_BINARY_DIR") + "/CPackConfig.cmake", "-B", packages})
                 .isEmpty());
    const QStringList debs = QDir(packages).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    m_package = packages + u'/' + debs.first();
    m_contents = run("dpkg-deb", {"--contents", m_package});
    QVERIFY(!m_contents.isEmpty());
    run("dpkg-deb", {"--extract", m_package, unpacked({})});
}

void TestPackage::packageIsNamedForItsVersionAndArchitecture()
{
    const QString architecture = run("dpkg", {"--print-architecture"}).trimmed();
    QCOMPARE(QFileInfo(m_package).fileName(),
             QStringLiteral("zantrove_%1_%2.deb").arg(qEnvironmentVariable("ZV_VERSION"), architecture));
}

void TestPackage::controlFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("name") << "Package"
                          << "^zantrove$";
    QTest::newRow("version") << "Version"
                             << "^" + QRegularExpression::escape(qEnvironmentVariable("ZV_VERSION")) + "$";
    QTest::newRow("section") << "Section"
                             << "^utils$";
    QTest::newRow("maintainer") << "Maintainer"
                                << "^[^<]+ <[^@>]+@[^>]+>$";
    QTest::newRow("description") << "Description"
                                 << "^password keeper.*\n .*zantrove-cli";
    // From the binaries (pugixml is linked in, so not among them)...
    for (const char* library : {"libqt6widgets6", "libqt6gui6", "libsodium23", "libstdc\\+\\+6"})
        QTest::newRow(library) << "Depends" << QStringLiteral("(^|, )%1 \\(>= ").arg(library);
    // ...and what is loaded at run time by name.
    for (const char* runtime : {"fonts-dejavu-core", "qt6-translations-l10n", "shared-mime-info"})
        QTest::newRow(runtime) << "Depends" << QStringLiteral("(^|, )%1(,|$)").arg(runtime);
}

void TestPackage::controlFields()
{
    QFETCH(QString, field);
    QFETCH(QString, pattern);
    const QString value = run("dpkg-deb", {"--field", m_package, field}).trimmed();
    QVERIFY2(QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption).match(value).hasMatch(),
             qPrintable(field + ": " + value));
}

void TestPackage::holdsItsFiles_data()
{
    // An entry as dpkg-deb lists it: mode, then the path, and for a link its target.
    QTest::addColumn<QString>("entry");
    QTest::newRow("program") << "-rwxr-xr-x ./usr/lib/zantrove/zantrove";
    QTest::newRow("tool") << "-rwxr-xr-x ./usr/lib/zantrove/zantrove-cli";
    QTest::newRow("clipboard helper") << "-rwxr-xr-x ./usr/lib/zantrove/zantrove-clipboard";
    QTest::newRow("program link") << "lrwxrwxrwx ./usr/bin/zantrove -> ../lib/zantrove/zantrove";
    QTest::newRow("tool link") << "lrwxrwxrwx ./usr/bin/zantrove-cli -> ../lib/zantrove/zantrove-cli";
    QTest::newRow("installed marker") << "-rw-r--r-- ./usr/lib/zantrove/installed";
    QTest::newRow("catalogue") << "-rw-r--r-- ./usr/lib/zantrove/languages/Deutsch/config.xml";
    QTest::newRow("desktop entry") << "-rw-r--r-- ./usr/share/applications/zantrove.desktop";
    QTest::newRow("icon 48") << "-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/zantrove.png";
    QTest::newRow("icon 256") << "-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/zantrove.png";
    QTest::newRow("icon drawing") << "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/zantrove.svg";
    QTest::newRow("file types") << "-rw-r--r-- ./usr/share/mime/packages/zantrove.xml";
    QTest::newRow("metainfo") << "-rw-r--r-- ./usr/share/metainfo/org.zantrove.zantrove.metainfo.xml";
    QTest::newRow("program page") << "-rw-r--r-- ./usr/share/man/man1/zantrove.1.gz";
    QTest::newRow("tool page") << "-rw-r--r-- ./usr/share/man/man1/zantrove-cli.1.gz";
    QTest::newRow("completion") << "-rw-r--r-- ./usr/share/bash-completion/completions/zantrove-cli";
    QTest::newRow("copyright") << "-rw-r--r-- ./usr/share/doc/zantrove/copyright";
    QTest::newRow("manual") << "lrwxrwxrwx ./usr/share/doc/zantrove/manual.pdf -> ../../../lib/zantrove/manual.pdf";
}

void TestPackage::holdsItsFiles()
{
    QFETCH(QString, entry);
    const QString mode = entry.section(u' ', 0, 0);
    const QString path = entry.section(u' ', 1);
    const QRegularExpression line(QStringLiteral("^%1 root/root +\\d+ \\S+ \\S+ %2$")
                                      .arg(QRegularExpression::escape(mode), QRegularExpression::escape(path)),
                                  QRegularExpression::MultilineOption);
    QVERIFY2(line.match(m_contents).hasMatch(), qPrintable(entry));
}

void TestPackage::installsOnlyUnderUsrAndOwnedByRoot()
{
    static const QRegularExpression entry(QStringLiteral("^\\S+ root/root +\\d+ \\S+ \\S+ \\./(usr/.*)?$"));
    for (const QString& line : m_contents.split(u'\n', Qt::SkipEmptyParts)) {
        QVERIFY2(entry.match(line).hasMatch(), qPrintable(line));
        // Settings are never shipped, so none is left from runs in the build folder.
        QVERIFY2(!line.endsWith(QLatin1String(".ini")) || line.contains(QLatin1String("/languages/")),
                 qPrintable(line));
    }
}

QMap<QString, QString> TestPackage::mimeGlobs(const QString& path)
{
    QFile file(path);
    QMap<QString, QString> globs;
    if (!file.open(QIODevice::ReadOnly))
        return globs;
    QXmlStreamReader xml(&file);
    QString type;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("mime-type"))
            type = xml.attributes().value("type").toString();
        else if (xml.name() == QLatin1String("glob"))
            globs.insert(type, xml.attributes().value("pattern").toString());
    }
    return globs;
}

void TestPackage::fileTypesAreTheOnesTheProgramRegisters()
{
    // The program's own association, written into an empty home.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    FileAssociation(TestSupport::programDir() + "/zantrove").RegisterFileType();
    const QMap<QString, QString> registered = mimeGlobs(home.filePath("data/mime/packages/zantrove-zvfile.xml"));
    QVERIFY(!registered.isEmpty());
    QCOMPARE(mimeGlobs(unpacked("usr/share/mime/packages/zantrove.xml")), registered);
}

void TestPackage::metainfoHasReleaseNotesForThisVersion()
{
    QFile file(unpacked("usr/share/metainfo/org.zantrove.zantrove.metainfo.xml"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("release")) {
            // The newest release comes first.
            QCOMPARE(xml.attributes().value("version").toString(), qEnvironmentVariable("ZV_VERSION"));
            QVERIFY(xml.readNextStartElement());
            QCOMPARE(xml.name().toString(), QStringLiteral("description"));
            return;
        }
    }
    QFAIL("no release");
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
