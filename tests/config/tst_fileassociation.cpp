#include "config/FileAssociation.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

namespace {

// Each element of an XML file as its name, its attributes and its text.
QStringList xmlElements(const QString& path)
{
    QStringList elements;
    QXmlStreamReader reader(TestSupport::readFile(path));
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            elements << reader.name().toString();
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                elements.last() += u' ' + attribute.name().toString() + u'=' + attribute.value().toString();
        } else if (reader.isCharacters() && !reader.isWhitespace()) {
            elements.last() += u' ' + reader.text().toString();
        }
    }
    return reader.hasError() ? QStringList{reader.errorString()} : elements;
}

const QStringList packageWithoutGlob = {
    QStringLiteral("mime-info"),
    QStringLiteral("mime-type type=application/x-zvfile"),
    QStringLiteral("comment Zantrove file"),
    QStringLiteral("icon name=zantrove"),
    QStringLiteral("mime-type type=application/x-zvxfile"),
    QStringLiteral("comment Zantrove protected file"),
    QStringLiteral("icon name=zantrove"),
};
const QStringList packageWithGlob = {
    QStringLiteral("mime-info"),
    QStringLiteral("mime-type type=application/x-zvfile"),
    QStringLiteral("comment Zantrove file"),
    QStringLiteral("icon name=zantrove"),
    QStringLiteral("glob pattern=*.zv"),
    QStringLiteral("mime-type type=application/x-zvxfile"),
    QStringLiteral("comment Zantrove protected file"),
    QStringLiteral("icon name=zantrove"),
    QStringLiteral("glob pattern=*.zvx"),
    QStringLiteral("magic"),
    QStringLiteral("match type=string value=ZANTROVX offset=0"),
};

QMap<QString, QString> desktopEntryKeys(const QString& path)
{
    QMap<QString, QString> keys;
    for (const QByteArray& line : TestSupport::readFile(path).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            keys.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    return keys;
}

// Splits an Exec value as a desktop does: the value's backslash escapes first,
// then the quoting of arguments, then doubled percent signs.
QStringList execArguments(const QString& value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i)
        text += (value.at(i) == u'\\' && i + 1 < value.size()) ? value.at(++i) : value.at(i);
    QStringList arguments{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (quoted && text.at(i) == u'\\' && i + 1 < text.size())
            arguments.last() += text.at(++i);
        else if (text.at(i) == u'"')
            quoted = !quoted;
        else if (text.at(i) == u' ' && !quoted)
            arguments << QString();
        else
            arguments.last() += text.at(i);
    }
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

} // namespace

class TestFileAssociation : public QObject {
    Q_OBJECT

private slots:
    void init();

    void registerWritesPackageEntryAndDefault();
    void registerSetsOurDefaultKeepingOtherLines_data();
    void registerSetsOurDefaultKeepingOtherLines();
    void execKeepsProgramPathWhole_data();
    void execKeepsProgramPathWhole();

    void unregisterRemovesEntryIconAndGlob();
    void unregisterWithNothingRegisteredDoesNothing();

private:
    QString dataHome() const { return m_root->path() + QStringLiteral("/data"); }
    QString configHome() const { return m_root->path() + QStringLiteral("/config"); }
    QString packagePath() const { return dataHome() + QStringLiteral("/mime/packages/zantrove-zvfile.xml"); }
    QString desktopPath() const { return dataHome() + QStringLiteral("/applications/zantrove-zvfile.desktop"); }
    QStringList iconPaths() const
    {
        const QString hicolor = dataHome() + QStringLiteral("/icons/hicolor/");
        return {hicolor + QStringLiteral("256x256/apps/zantrove.png"),
                hicolor + QStringLiteral("scalable/apps/zantrove.svg")};
    }
    QString mimeAppsPath() const { return configHome() + QStringLiteral("/mimeapps.list"); }
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;
};

void TestFileAssociation::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    // The desktop's cache tools must not run on the test folders.
    qputenv("PATH", QFile::encodeName(m_root->path()));
    // A program folder with the program's icons, as the build makes it.
    m_program = m_root->path() + QStringLiteral("/program/zantrove");
    QVERIFY(QDir().mkpath(m_root->path() + QStringLiteral("/program/icons")));
    TestSupport::writeFile(m_root->path() + QStringLiteral("/program/icons/zantrove.png"), "png");
    TestSupport::writeFile(m_root->path() + QStringLiteral("/program/icons/zantrove.svg"), "svg");
}

void TestFileAssociation::registerWritesPackageEntryAndDefault()
{
    FileAssociation(m_program).RegisterFileType();

    QCOMPARE(xmlElements(packagePath()), packageWithGlob);
    QVERIFY(TestSupport::readFile(desktopPath()).startsWith("[Desktop Entry]\n"));
    // The installed entry's fields, but this program's path and kept out of
    // the menus, where the installed entry stands.
    QMap<QString, QString> entry = desktopEntryKeys(desktopPath());
    QCOMPARE(execArguments(entry.take(QStringLiteral("Exec"))), (QStringList{m_program, QStringLiteral("%f")}));
    QCOMPARE(entry.take(QStringLiteral("NoDisplay")), QStringLiteral("true"));
    QMap<QString, QString> installed =
        desktopEntryKeys(TestSupport::sourceDir() + QStringLiteral("/packaging/zantrove.desktop"));
    installed.remove(QStringLiteral("Exec"));
    QCOMPARE(entry, installed);
    for (const QString& icon : iconPaths())
        QCOMPARE(TestSupport::readFile(icon), icon.right(3).toLatin1());
    QCOMPARE(TestSupport::readFile(mimeAppsPath()),
             QByteArray("[Default "
                        "Applications]\napplication/x-zvfile=zantrove-zvfile.desktop\napplication/"
                        "x-zvxfile=zantrove-zvfile.desktop\n"));
}

void TestFileAssociation::registerSetsOurDefaultKeepingOtherLines_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("taken over by another program")
        << QByteArray("[Default Applications]\ntext/plain=gedit.desktop\napplication/x-zvfile=other.desktop\n"
                      "image/png=eog.desktop\n\n[Added Associations]\napplication/x-zvfile=other.desktop;\n")
        << QByteArray(
               "[Default Applications]\ntext/plain=gedit.desktop\nimage/png=eog.desktop\n"
               "application/x-zvfile=zantrove-zvfile.desktop\napplication/x-zvxfile=zantrove-zvfile.desktop\n\n[Added "
               "Associations]\napplication/x-zvfile=other.desktop;\n");
    QTest::newRow("no default group") << QByteArray("[Added Associations]\ntext/plain=gedit.desktop;\n")
                                      << QByteArray(
                                             "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                             "[Default "
                                             "Applications]\napplication/x-zvfile=zantrove-zvfile.desktop\napplication/"
                                             "x-zvxfile=zantrove-zvfile.desktop\n");
    QTest::newRow("group without our type, no final newline")
        << QByteArray("# mine\n[Default Applications]\ntext/plain=gedit.desktop")
        << QByteArray("# mine\n[Default "
                      "Applications]\ntext/plain=gedit.desktop\napplication/"
                      "x-zvfile=zantrove-zvfile.desktop\napplication/x-zvxfile=zantrove-zvfile.desktop\n");
    QTest::newRow("ours already, repeated")
        << QByteArray("[Default Applications]\napplication/x-zvfile = "
                      "zantrove-zvfile.desktop\napplication/x-zvfile=x.desktop\n"
                      "application/x-zvxfile=y.desktop\n")
        << QByteArray("[Default "
                      "Applications]\napplication/x-zvfile=zantrove-zvfile.desktop\napplication/"
                      "x-zvxfile=zantrove-zvfile.desktop\n");
}

void TestFileAssociation::registerSetsOurDefaultKeepingOtherLines()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QVERIFY(QDir().mkpath(configHome()));
    TestSupport::writeFile(mimeAppsPath(), before);

    FileAssociation(m_program).RegisterFileType();

    QCOMPARE(TestSupport::readFile(mimeAppsPath()), after);
}

void TestFileAssociation::execKeepsProgramPathWhole_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("blank") << QStringLiteral("/opt/My Programs/zantrove");
    QTest::newRow("shell characters") << QStringLiteral("/home/o'neil/$HOME/`x`/a;b&c/zantrove");
    QTest::newRow("quote and backslash") << QStringLiteral("/opt/\"zv\"\\bin/zantrove");
    QTest::newRow("percent") << QStringLiteral("/opt/100%f/zantrove");
}

void TestFileAssociation::execKeepsProgramPathWhole()
{
    QFETCH(QString, program);
    FileAssociation(QStringLiteral("/usr/bin/other")).RegisterFileType();

    FileAssociation(program).RegisterFileType();

    const QString exec = desktopEntryKeys(desktopPath()).value(QStringLiteral("Exec"));
    QCOMPARE(execArguments(exec), (QStringList{program, QStringLiteral("%f")}));
}

void TestFileAssociation::unregisterRemovesEntryIconAndGlob()
{
    FileAssociation association(m_program);
    association.ApplyAssociationSetting(true);
    const QByteArray desktopBefore = TestSupport::readFile(desktopPath());
    const QByteArray mimeAppsBefore = TestSupport::readFile(mimeAppsPath());

    association.ApplyAssociationSetting(false);

    QCOMPARE(xmlElements(packagePath()), packageWithoutGlob);
    for (const QString& file : iconPaths() + QStringList{desktopPath()})
        QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
    QCOMPARE(TestSupport::readFile(mimeAppsPath()), mimeAppsBefore);
    association.ApplyAssociationSetting(true);
    QCOMPARE(xmlElements(packagePath()), packageWithGlob);
    QCOMPARE(TestSupport::readFile(desktopPath()), desktopBefore);
}

void TestFileAssociation::unregisterWithNothingRegisteredDoesNothing()
{
    FileAssociation(m_program).UnregisterFileType();

    QVERIFY(!QFileInfo::exists(dataHome()));
    QVERIFY(!QFileInfo::exists(configHome()));
}

QTEST_GUILESS_MAIN(TestFileAssociation)
#include "tst_fileassociation.moc"
