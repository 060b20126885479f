#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<QByteArray>& value)
        : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_previous = qgetenv(name);
        set(value);
    }
    ~ScopedEnvironment() { set(m_previous); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const std::optional<QByteArray>& value) const
    {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }

    const char* m_name;
    std::optional<QByteArray> m_previous;
};

class TestSettingsLocation : public QObject {
    Q_OBJECT

private slots:
    void writableProgramFolderKeepsSettingsBesideTheProgram_data();
    void writableProgramFolderKeepsSettingsBesideTheProgram();
    void unwritableProgramFolderUsesUserConfig_data();
    void unwritableProgramFolderUsesUserConfig();
    void userSettingsFollowXdgConfigHome_data();
    void userSettingsFollowXdgConfigHome();
    void installedProgramKeepsItsSettingsAcrossRuns();

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
};

void TestSettingsLocation::writableProgramFolderKeepsSettingsBesideTheProgram_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("build or copied folder") << false << "program/zantrove.ini";
    // Root may write into /usr, but a package's folder must stay as shipped.
    QTest::newRow("installed folder") << true << "config/zantrove/zantrove.ini";
}

void TestSettingsLocation::writableProgramFolderKeepsSettingsBesideTheProgram()
{
    QFETCH(bool, installed);
    QFETCH(QString, expected);
    const QString folder = path(installed ? "installed/program" : "program");
    QVERIFY(QDir().mkpath(folder));
    const ProgramPaths paths(folder + "/zantrove");
    if (installed)
        TestSupport::writeFile(paths.installMarkerFile(), {});
    const ScopedEnvironment config("XDG_CONFIG_HOME",
                                   QFile::encodeName(path(installed ? "installed/config" : "config")));
    QCOMPARE(paths.settingsFile(), path((installed ? "installed/" : "") + expected));
}

void TestSettingsLocation::unwritableProgramFolderUsesUserConfig_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("read-only folder") << true;
    QTest::newRow("missing folder") << false;
}

void TestSettingsLocation::unwritableProgramFolderUsesUserConfig()
{
    QFETCH(bool, readOnly);
    const QString folder = path(readOnly ? "read-only" : "missing");
    if (readOnly) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    }
    // Writable again afterwards, so the temporary folder can be removed.
    const auto restore = qScopeGuard([&] {
        if (readOnly)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (QFileInfo(folder).isWritable())
        QSKIP("this user may write into read-only folders (root); the missing folder row covers the rule");

    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
    QCOMPARE(ProgramPaths(folder + "/zantrove").settingsFile(), path("config/zantrove/zantrove.ini"));
}

void TestSettingsLocation::userSettingsFollowXdgConfigHome_data()
{
    QTest::addColumn<std::optional<QByteArray>>("configHome");
    QTest::addColumn<QString>("expected");
    const QByteArray absolute = QFile::encodeName(path("xdg"));
    QTest::newRow("absolute") << std::optional(absolute) << path("xdg/zantrove/zantrove.ini");
    QTest::newRow("trailing slash") << std::optional(absolute + "/") << path("xdg/zantrove/zantrove.ini");
    QTest::newRow("unset") << std::optional<QByteArray>() << path("home/.config/zantrove/zantrove.ini");
    QTest::newRow("empty") << std::optional(QByteArray()) << path("home/.config/zantrove/zantrove.ini");
    // Relative values are invalid by the base directory rules and ignored.
    QTest::newRow("relative") << std::optional(QByteArray("xdg")) << path("home/.config/zantrove/zantrove.ini");
}

void TestSettingsLocation::userSettingsFollowXdgConfigHome()
{
    QFETCH(std::optional<QByteArray>, configHome);
    QFETCH(QString, expected);
    const ScopedEnvironment home("HOME", QFile::encodeName(path("home")));
    const ScopedEnvironment config("XDG_CONFIG_HOME", configHome);
    QCOMPARE(ProgramPaths::userSettingsFile(), expected);
}

void TestSettingsLocation::installedProgramKeepsItsSettingsAcrossRuns()
{
    // The config folder does not exist before the first save.
    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(path("fresh-config")));
    const ProgramPaths installed(path("not-installed-here/zantrove"));

    SettingsStore firstRun;
    QVERIFY(firstRun.LoadSettings(installed));
    SettingsWindowState state;
    state.language = "Deutsch";
    state.systray = true;
    firstRun.StoreSettingsFromWindow(state);
    QVERIFY(firstRun.SaveSettingsFile());
    QVERIFY(QFileInfo::exists(path("fresh-config/zantrove/zantrove.ini")));

    SettingsStore nextRun;
    QVERIFY(nextRun.LoadSettings(installed));
    QCOMPARE(nextRun.GetSetting(SettingKey::Language), QStringLiteral("Deutsch"));
    QVERIFY(nextRun.isOn(SettingKey::SysTray));
}

QTEST_GUILESS_MAIN(TestSettingsLocation)
#include "tst_settingslocation.moc"
