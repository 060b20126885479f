#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"
#include "datafile/GeneratorSettings.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(SettingsWindowState)

// The program file of a fresh program folder; the file itself need not exist.
class ProgramFolder {
public:
    ProgramFolder()
        : m_paths(m_dir.path() + QStringLiteral("/zantrove"))
    {
    }
    const ProgramPaths& paths() const { return m_paths; }
    void writeSettings(const QByteArray& bytes) const { TestSupport::writeFile(m_paths.settingsFile(), bytes); }
    QByteArray settingsBytes() const { return TestSupport::readFile(m_paths.settingsFile()); }

private:
    QTemporaryDir m_dir;
    ProgramPaths m_paths;
};

class TestSettingsStore : public QObject {
    Q_OBJECT

private slots:
    void settingsFileReplacesExtension_data();
    void settingsFileReplacesExtension();
    void folderPathsEndInSeparator();
    void onlyListedLanguagesHaveTheirFolder_data();
    void onlyListedLanguagesHaveTheirFolder();
    void emptyLanguageReadsNoLanguageFile();

    void missingFileGivesEmptyList();
    void unreadableFileIsReportedAndNeverOverwritten_data();
    void unreadableFileIsReportedAndNeverOverwritten();
    void readsLinesEndedAnyWay();

    void flagIsOnOnlyForExactlyOne_data();
    void flagIsOnOnlyForExactlyOne();
    void lockMinutesAreWholeAndPositive_data();
    void lockMinutesAreWholeAndPositive();
    void clipboardSecondsElseTheDefault_data();
    void clipboardSecondsElseTheDefault();
    void codePageChosenElseTheLanguagesOwn_data();
    void codePageChosenElseTheLanguagesOwn();

    void rebuildWritesLinesInOrder_data();
    void rebuildWritesLinesInOrder();
    void rebuildDropsUnknownAndRepeatedLines();
    void lineBreaksNeverReachTheList_data();
    void lineBreaksNeverReachTheList();

    void failedWriteKeepsPreviousFile();

    void generatorChoicesReadBack_data();
    void generatorChoicesReadBack();
    void generatorChoicesSurviveTheSettingsWindow();
};

void TestSettingsStore::settingsFileReplacesExtension_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("settings");
    QTest::newRow("no extension") << "/opt/zv/zantrove"
                                  << "/opt/zv/zantrove.ini";
    QTest::newRow("exe") << "/opt/zv/Zantrove.exe"
                         << "/opt/zv/Zantrove.ini";
    QTest::newRow("last extension only") << "/opt/zv/zantrove.tar.exe"
                                         << "/opt/zv/zantrove.tar.ini";
    QTest::newRow("dot in folder") << "/opt/z.v/zantrove"
                                   << "/opt/z.v/zantrove.ini";
    QTest::newRow("leading dot") << "/opt/zv/.zantrove"
                                 << "/opt/zv/.zantrove.ini";
}

void TestSettingsStore::settingsFileReplacesExtension()
{
    QFETCH(QString, program);
    QFETCH(QString, settings);
    QCOMPARE(ProgramPaths(program).settingsFileBesideProgram(), settings);
}

void TestSettingsStore::folderPathsEndInSeparator()
{
    const ProgramPaths paths(QStringLiteral("/opt/zv/zantrove"));
    QCOMPARE(paths.folder(), QStringLiteral("/opt/zv/"));
    QCOMPARE(paths.languagesFolder(), QStringLiteral("/opt/zv/languages/"));
    QCOMPARE(paths.languageFolder(QStringLiteral("English")), QStringLiteral("/opt/zv/languages/English/"));
    QCOMPARE(paths.languageFile(QStringLiteral("English")), QStringLiteral("/opt/zv/languages/English/lang.ini"));
    QCOMPARE(paths.manualFile(), QStringLiteral("/opt/zv/manual.pdf"));

    const ProgramPaths relative(QStringLiteral("zantrove"));
    QCOMPARE(relative.folder(), QDir::currentPath() + QLatin1Char('/'));
}

void TestSettingsStore::onlyListedLanguagesHaveTheirFolder_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("folder");
    QTest::newRow("listed") << "Deutsch"
                            << "Deutsch";
    QTest::newRow("other case") << "deutsch"
                                << "English";
    QTest::newRow("not there") << "Klingon"
                               << "English";
    QTest::newRow("up and out") << "../../somewhere"
                                << "English";
    QTest::newRow("in and out") << "Deutsch/../../somewhere"
                                << "English";
    QTest::newRow("absolute") << "/tmp/somewhere"
                              << "English";
    QTest::newRow("parent") << ".."
                            << "English";
    QTest::newRow("itself") << "."
                            << "English";
}

void TestSettingsStore::onlyListedLanguagesHaveTheirFolder()
{
    QFETCH(QString, language);
    QFETCH(QString, folder);
    ProgramFolder program;
    QVERIFY(QDir().mkpath(program.paths().languagesFolder() + "Deutsch"));
    QCOMPARE(program.paths().languageFolder(language), program.paths().languagesFolder() + folder + '/');
    QCOMPARE(program.paths().languageFile(language), program.paths().languagesFolder() + folder + "/lang.ini");
}

void TestSettingsStore::emptyLanguageReadsNoLanguageFile()
{
    ProgramFolder folder;
    // A lang.ini straight in the languages folder belongs to no language.
    QVERIFY(QDir().mkpath(folder.paths().languagesFolder()));
    TestSupport::writeFile(folder.paths().languagesFolder() + "lang.ini", "ButtonOk=Jawohl\r\n");

    CaptionTable table;
    table.load(folder.paths().languageFile(QString()));
    QCOMPARE(table.GetCaption("ButtonOk", "Ok"), QStringLiteral("Ok"));
}

void TestSettingsStore::missingFileGivesEmptyList()
{
    ProgramFolder folder;
    SettingsStore store;
    store.SetSetting(SettingKey::SysTray, "1");
    QVERIFY(store.LoadSettings(folder.paths()));
    QVERIFY(store.list().lines().isEmpty());
    QVERIFY(!store.isOn(SettingKey::SysTray));
    QCOMPARE(store.GetSetting(SettingKey::Language), QString());
}

void TestSettingsStore::unreadableFileIsReportedAndNeverOverwritten_data()
{
    QTest::addColumn<bool>("folderInItsPlace");
    // A folder exists but cannot be read as a file; a file that cannot be
    // opened is what a user meets after a change of permissions.
    QTest::newRow("folder in its place") << true;
    QTest::newRow("file that cannot be opened") << false;
}

void TestSettingsStore::unreadableFileIsReportedAndNeverOverwritten()
{
    QFETCH(bool, folderInItsPlace);
    ProgramFolder folder;
    const QByteArray usersSettings("language=Deutsch\r\nsystray=1\r\n");
    if (folderInItsPlace)
        QVERIFY(QDir().mkpath(folder.paths().settingsFile()));
    else
        folder.writeSettings(usersSettings);
    SettingsStore store;
    {
        std::optional<TestSupport::OpenFileLimit> noFiles;
        if (!folderInItsPlace)
            noFiles.emplace();
        QVERIFY(!store.LoadSettings(folder.paths()));
    }
    QVERIFY(store.list().lines().isEmpty());

    store.SetSetting(SettingKey::LastFile, "/home/me/data.zv");
    QVERIFY(!store.SaveSettingsFile());
    if (folderInItsPlace)
        QVERIFY(QFileInfo(folder.paths().settingsFile()).isDir());
    else
        QCOMPARE(folder.settingsBytes(), usersSettings);
}

void TestSettingsStore::readsLinesEndedAnyWay()
{
    ProgramFolder folder;
    folder.writeSettings("language=Deutsch\rSysTray=1\nassotiate=1\r\nlastfile=/home/me/my = data.zv");
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    QCOMPARE(store.GetSetting(SettingKey::Language), QStringLiteral("Deutsch"));
    QVERIFY(store.isOn(SettingKey::SysTray));
    QVERIFY(store.isOn(SettingKey::Associate));
    QCOMPARE(store.GetSetting(SettingKey::LastFile), QStringLiteral("/home/me/my = data.zv"));
}

void TestSettingsStore::flagIsOnOnlyForExactlyOne_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("on");
    QTest::newRow("one") << QByteArray("systray=1\r\n") << true;
    QTest::newRow("name in other case") << QByteArray("SYSTRAY=1\r\n") << true;
    QTest::newRow("blank before one") << QByteArray("systray= 1\r\n") << false;
    QTest::newRow("blank after one") << QByteArray("systray=1 \r\n") << false;
    QTest::newRow("true") << QByteArray("systray=true\r\n") << false;
    QTest::newRow("zero") << QByteArray("systray=0\r\n") << false;
    QTest::newRow("blank in name") << QByteArray("systray =1\r\n") << false;
    QTest::newRow("absent") << QByteArray("hidden=1\r\n") << false;
    QTest::newRow("first of two off") << QByteArray("systray=0\r\nsystray=1\r\n") << false;
    QTest::newRow("first of two on") << QByteArray("Systray=1\r\nsystray=0\r\n") << true;
}

void TestSettingsStore::flagIsOnOnlyForExactlyOne()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, on);
    ProgramFolder folder;
    folder.writeSettings(file);
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    QCOMPARE(store.isOn(SettingKey::SysTray), on);
}

void TestSettingsStore::lockMinutesAreWholeAndPositive_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("minutes"); // 0: no lock
    QTest::newRow("offered") << QStringLiteral("5") << 5;
    QTest::newRow("not offered") << QStringLiteral("3") << 3;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("negative") << QStringLiteral("-2") << 0;
    QTest::newRow("letters") << QStringLiteral("abc") << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestSettingsStore::lockMinutesAreWholeAndPositive()
{
    QFETCH(QString, stored);
    QFETCH(int, minutes);
    QCOMPARE(lockMinutesFrom(stored).value_or(0), minutes);
}

void TestSettingsStore::clipboardSecondsElseTheDefault_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("seconds");
    QTest::newRow("chosen") << QStringLiteral("5") << 5;
    QTest::newRow("never") << QStringLiteral("0") << 0;
    QTest::newRow("longest") << QStringLiteral("999") << 999;
    QTest::newRow("too long") << QStringLiteral("1000") << 20;
    QTest::newRow("negative") << QStringLiteral("-1") << 20;
    QTest::newRow("letters") << QStringLiteral("ten") << 20;
    QTest::newRow("absent") << QString() << 20;
}

void TestSettingsStore::clipboardSecondsElseTheDefault()
{
    QFETCH(QString, stored);
    QTEST(clipboardSecondsFrom(stored), "seconds");
}

void TestSettingsStore::codePageChosenElseTheLanguagesOwn_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<int>("codePage");
    QTest::newRow("nothing") << QStringList() << 1252;
    QTest::newRow("Russian") << QStringList{QString::fromUtf8("language=Русский")} << 1251;
    QTest::newRow("Russian, chosen") << QStringList{QString::fromUtf8("language=Русский"), "codepage=1250"} << 1250;
    QTest::newRow("not a number") << QStringList{QString::fromUtf8("language=Русский"), "codepage=cp1250"} << 1251;
    QTest::newRow("not offered") << QStringList{"language=Deutsch", "codepage=437"} << 1252;
}

void TestSettingsStore::codePageChosenElseTheLanguagesOwn()
{
    QFETCH(QStringList, settings);
    QFETCH(int, codePage);
    SettingsStore store;
    for (const QString& line : settings)
        store.SetSetting(line.section('=', 0, 0), line.section('=', 1));
    QCOMPARE(store.olderFilesCodePage().number(), codePage);
}

void TestSettingsStore::rebuildWritesLinesInOrder_data()
{
    QTest::addColumn<SettingsWindowState>("state");
    QTest::addColumn<QByteArray>("file");

    SettingsWindowState firstRun;
    firstRun.language = "English";
    QTest::newRow("first run") << firstRun
                               << QByteArray(
                                      "language=English\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=0\r\n"
                                      "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n");

    SettingsWindowState everything;
    everything.language = "Deutsch";
    everything.systray = everything.hidden = everything.associate = everything.openLast = true;
    everything.autoSave = everything.backups = everything.autoBlocking = true;
    everything.blockingTime = "10";
    everything.clipboardSeconds = 0;
    everything.currentFileName = "/home/me/data.zv";
    QTest::newRow("all on, file open")
        << everything
        << QByteArray("language=Deutsch\r\nsystray=1\r\nhidden=1\r\nassotiate=1\r\nopenlast=1\r\n"
                      "autosave=1\r\nbackups=1\r\nautoblocking=1\r\nblockingtime=10\r\nclipboardseconds=0\r\n"
                      "lastfile=/home/me/data.zv\r\n");

    SettingsWindowState lockOff = firstRun;
    lockOff.blockingTime = "5";
    QTest::newRow("minutes only with auto-lock")
        << lockOff
        << QByteArray("language=English\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=0\r\n"
                      "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n");

    // A time the lock cannot use is no lock, and is stored as none.
    SettingsWindowState zeroMinutes = firstRun;
    zeroMinutes.autoBlocking = true;
    zeroMinutes.blockingTime = "0";
    zeroMinutes.openLast = true;
    zeroMinutes.currentFileName = "/home/me/data.zv";
    QTest::newRow("minutes below one")
        << zeroMinutes
        << QByteArray("language=English\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=1\r\n"
                      "autosave=0\r\nbackups=0\r\nautoblocking=0\r\nlastfile=/home/me/data.zv\r\n");

    // Nothing is to be reopened, so nothing tells which file was open.
    SettingsWindowState notReopened = firstRun;
    notReopened.currentFileName = "/home/me/data.zv";
    QTest::newRow("last file only to reopen")
        << notReopened
        << QByteArray("language=English\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=0\r\n"
                      "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n");

    // Stored only while it is not the language's own, so that it follows the language.
    SettingsWindowState russian = firstRun;
    russian.language = QString::fromUtf8("Русский");
    russian.codePage = 1251;
    QTest::newRow("code page of the language")
        << russian
        << QString::fromUtf8("language=Русский\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=0\r\n"
                             "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n")
               .toUtf8();
    SettingsWindowState chosen = firstRun;
    chosen.codePage = 1251;
    QTest::newRow("code page chosen")
        << chosen
        << QByteArray("language=English\r\ncodepage=1251\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=0\r\n"
                      "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n");

    SettingsWindowState hiddenNoTray = firstRun;
    hiddenNoTray.hidden = true;
    QTest::newRow("hidden needs the tray")
        << hiddenNoTray
        << QByteArray("language=English\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=0\r\n"
                      "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n");
}

void TestSettingsStore::rebuildWritesLinesInOrder()
{
    QFETCH(SettingsWindowState, state);
    QFETCH(QByteArray, file);
    ProgramFolder folder;
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    store.StoreSettingsFromWindow(state);
    QVERIFY(store.SaveSettingsFile());
    QCOMPARE(folder.settingsBytes(), file);
}

void TestSettingsStore::rebuildDropsUnknownAndRepeatedLines()
{
    ProgramFolder folder;
    folder.writeSettings("systray=1\r\ncolour=blue\r\nno equals sign\r\nsystray=0\r\nlastfile=/old.zv\r\n");
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    QCOMPARE(store.GetSetting("colour"), QStringLiteral("blue"));

    SettingsWindowState state;
    state.language = "English";
    state.systray = store.isOn(SettingKey::SysTray);
    store.StoreSettingsFromWindow(state);
    QVERIFY(store.SaveSettingsFile());

    const QByteArray written = folder.settingsBytes();
    QCOMPARE(written.count("systray="), 1);
    QVERIFY(written.contains("systray=1\r\n"));
    QVERIFY(!written.contains("colour"));
    QVERIFY(!written.contains("no equals sign"));
    QVERIFY(!written.contains("lastfile"));
}

void TestSettingsStore::lineBreaksNeverReachTheList_data()
{
    QTest::addColumn<QString>("lineBreak");
    QTest::newRow("LF") << "\n";
    QTest::newRow("CR") << "\r";
    QTest::newRow("CR LF") << "\r\n";
}

// A value with a line break would write a line of its own choosing.
void TestSettingsStore::lineBreaksNeverReachTheList()
{
    QFETCH(QString, lineBreak);
    const QString injected = "/home/me/a" + lineBreak + "systray=1.zv";
    ProgramFolder folder;
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    store.SetSetting(SettingKey::Language, "English");
    store.SetSetting(SettingKey::Language, "Deutsch" + lineBreak + "hidden=1");
    QCOMPARE(store.GetSetting(SettingKey::Language), QStringLiteral("English"));

    SettingsWindowState state;
    state.language = "English" + lineBreak + "hidden=1";
    state.openLast = true;
    state.currentFileName = injected;
    store.StoreSettingsFromWindow(state);
    QVERIFY(store.SaveSettingsFile());
    QCOMPARE(folder.settingsBytes(), QByteArray("systray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=1\r\n"
                                                "autosave=0\r\nbackups=0\r\nautoblocking=0\r\n"));
}

void TestSettingsStore::failedWriteKeepsPreviousFile()
{
    ProgramFolder folder;
    const QByteArray previous("language=English\r\nsystray=1\r\n");
    folder.writeSettings(previous);
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    SettingsWindowState state;
    state.language = "English";
    state.currentFileName = "/home/me/data.zv";
    store.StoreSettingsFromWindow(state);
    {
        TestSupport::FileSizeLimit diskFull(previous.size());
        QVERIFY(!store.SaveSettingsFile());
    }
    QCOMPARE(folder.settingsBytes(), previous);
    QCOMPARE(QDir(folder.paths().folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"zantrove.ini"});
}

using PasswordGenerator::CharacterGroup;
using PasswordGenerator::Purpose;

// Rules as "length, the letters of the groups on, + when look-alikes are avoided".
QString described(const PasswordGenerator::Rules& rules)
{
    QString groups;
    for (const auto& [group, letter] : {std::pair{CharacterGroup::Upper, 'U'},
                                        {CharacterGroup::Lower, 'L'},
                                        {CharacterGroup::Digits, 'D'},
                                        {CharacterGroup::Symbols, 'S'}}) {
        if (rules.chooses(group))
            groups += QLatin1Char(letter);
    }
    return QStringLiteral("%1 %2%3")
        .arg(rules.length)
        .arg(groups, rules.avoidLookAlikes ? QStringLiteral("+") : QString());
}

void TestSettingsStore::generatorChoicesReadBack_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("purpose");
    QTest::addColumn<QString>("rules");
    const int anyField = int(Purpose::AnyField);
    QTest::newRow("nothing stored") << QByteArray() << anyField << "20 ULDS";
    QTest::newRow("stored") << QByteArray("genlength=33\ngenupper=0\ngendigits=0\ngenlookalikes=1\n") << anyField
                            << "33 LS+";
    QTest::newRow("flags other than 1 are off")
        << QByteArray("genlower=yes\ngensymbols= 1\ngenlookalikes=true\n") << anyField << "20 UD";
    QTest::newRow("no group left") << QByteArray("genupper=0\ngenlower=0\ngendigits=0\ngensymbols=0\n") << anyField
                                   << "20 ULDS";
    QTest::newRow("length below 4") << QByteArray("genlength=3\n") << anyField << "20 ULDS";
    QTest::newRow("length over 128") << QByteArray("genlength=129\n") << anyField << "20 ULDS";
    QTest::newRow("length no number") << QByteArray("genlength=12a\n") << anyField << "20 ULDS";
    QTest::newRow("data file password is 16 long")
        << QByteArray("genlength=40\ngensymbols=0\n") << int(Purpose::DataFilePassword) << "16 ULD";
}

void TestSettingsStore::generatorChoicesReadBack()
{
    QFETCH(QByteArray, file);
    QFETCH(int, purpose);
    QFETCH(QString, rules);
    ProgramFolder folder;
    folder.writeSettings(file);
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    QCOMPARE(described(GeneratorSettings::storedRules(store, Purpose(purpose))), rules);
}

// The settings window knows nothing of the generator, and its rebuild of the
// list, at Ok and at exit, must not lose the generator's choices.
void TestSettingsStore::generatorChoicesSurviveTheSettingsWindow()
{
    ProgramFolder folder;
    SettingsStore store;
    QVERIFY(store.LoadSettings(folder.paths()));
    PasswordGenerator::Rules chosen;
    chosen.length = 64;
    chosen.choose(CharacterGroup::Symbols, false);
    chosen.avoidLookAlikes = true;
    GeneratorSettings::storeRules(store, chosen, Purpose::AnyField);
    // A data-file password's fixed length is no choice of the user's.
    chosen.choose(CharacterGroup::Digits, false);
    chosen.length = 16;
    GeneratorSettings::storeRules(store, chosen, Purpose::DataFilePassword);
    // So must the cost measured for new protected files.
    const ProtectedContainer::DerivationCost measured{7, ProtectedContainer::DerivationCost().memoryKiB};
    store.setNewFileCost(measured);

    SettingsWindowState state;
    state.language = "English";
    store.StoreSettingsFromWindow(state);
    store.StoreSettingsFromWindow(state);
    QVERIFY(store.SaveSettingsFile());

    SettingsStore reread;
    QVERIFY(reread.LoadSettings(folder.paths()));
    QCOMPARE(described(GeneratorSettings::storedRules(reread, Purpose::AnyField)), QStringLiteral("64 UL+"));
    QCOMPARE(folder.settingsBytes().count("genlength="), 1);
    QCOMPARE(reread.newFileCost(), std::optional(measured));
    QVERIFY(folder.settingsBytes().startsWith("language=English\r\nsystray=0\r\n"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
